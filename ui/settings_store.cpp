// The settings store as a registry export file. The file is read whole, edited as a list of
// lines and written back whole through a temporary file and a rename, so a save either
// happens completely or not at all, and every line it did not write survives byte for byte,
// including lines it cannot make sense of.
#include "ui/settings_store.h"

#include "ui/text_table.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tempik {

namespace {

constexpr std::string_view headerLine = "REGEDIT4";
constexpr std::string_view unicodeHeaderLine = "Windows Registry Editor Version 5.00";

// ---- Lines of a registry export -------------------------------------------------------------

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Key paths and value names of the registry do not depend on letter case.
bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// A quoted text at the start of s with the escapes \\ and \"; the text and what follows the
// closing quote, or nothing when it is not one.
std::optional<std::pair<std::string, std::string_view>> parseQuoted(std::string_view s)
{
    if (s.empty() || s.front() != '"')
        return std::nullopt;
    std::string text;
    for (size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"')
            return std::make_pair(std::move(text), s.substr(i + 1));
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return std::nullopt;
            text += s[++i];
        } else {
            text += c;
        }
    }
    return std::nullopt;  // cut off before its closing quote
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string dwordData(int value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<uint32_t>(value));
    return digits;
}

enum class Kind { integer, text, other };

struct StoredValue {
    Kind kind = Kind::other;
    int integer = 0;
    std::string text;
};

// The data after "=": dword:<1 to 8 hex digits> is an integer, a quoted text is a text, and
// anything else (hex:, a text cut off or followed by more) is a value of another type.
StoredValue parseData(std::string_view data)
{
    StoredValue value;
    data = trimRight(data);
    constexpr std::string_view dword = "dword:";
    if (data.size() > dword.size() && equalsIgnoringCase(data.substr(0, dword.size()), dword)) {
        const std::string_view digits = data.substr(dword.size());
        if (digits.size() > 8)
            return value;
        uint32_t number = 0;
        for (char c : digits) {
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f')
                digit = lowerAscii(c) - 'a' + 10;
            else
                return value;
            number = number * 16 + static_cast<uint32_t>(digit);
        }
        value.kind = Kind::integer;
        value.integer = static_cast<int32_t>(number);
        return value;
    }
    if (auto text = parseQuoted(data); text && text->second.empty()) {
        value.kind = Kind::text;
        value.text = std::move(text->first);
    }
    return value;
}

struct ValueLine {
    std::string name;
    std::string_view data;
};

// "Name"=data, with optional blanks around "="; nothing for any other line.
std::optional<ValueLine> parseValueLine(std::string_view line)
{
    auto name = parseQuoted(line);
    if (!name)
        return std::nullopt;
    std::string_view rest = trimLeft(name->second);
    if (rest.empty() || rest.front() != '=')
        return std::nullopt;
    return ValueLine{std::move(name->first), trimLeft(rest.substr(1))};
}

// The section name of a "[...]" line, or nothing.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trimRight(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    return line.substr(1, line.size() - 2);
}

bool isBlank(std::string_view line) { return trimLeft(trimRight(line)).empty(); }

// The store file as its lines, without their line feeds. Our key may appear more than once;
// as on import, a value found later wins, and new values go to the end of the last section.
class RegFile {
public:
    explicit RegFile(const std::string& content)
    {
        size_t start = 0;
        while (start < content.size()) {
            size_t end = content.find('\n', start);
            if (end == std::string::npos)
                end = content.size();
            lines_.push_back(content.substr(start, end - start));
            start = end + 1;
        }
        if (!lines_.empty() && !lines_.front().empty() && lines_.front().back() == '\r')
            lineEnd_ = "\r";
    }

    // Nothing when the value is absent.
    std::optional<StoredValue> find(std::string_view name) const
    {
        const Layout layout = scan();
        auto found = layout.values.find(lowerCase(name));
        if (found == layout.values.end())
            return std::nullopt;
        return parseData(parseValueLine(lines_[found->second.first])->data);
    }

    // Replaces the value where it stands, or adds it at the end of the key.
    void set(std::string_view name, const std::string& data)
    {
        ensureHeader();
        const std::string line = quoted(std::string(name)) + "=" + data + lineEnd_;
        const Layout layout = scan();
        auto found = layout.values.find(lowerCase(name));
        if (found != layout.values.end()) {
            const auto [index, span] = found->second;
            lines_.erase(lines_.begin() + static_cast<long>(index + 1),
                         lines_.begin() + static_cast<long>(index + span));
            lines_[index] = line;
        } else if (layout.keyEnd) {
            lines_.insert(lines_.begin() + static_cast<long>(*layout.keyEnd), line);
        } else {
            if (!lines_.empty() && !isBlank(lines_.back()))
                lines_.push_back(lineEnd_);
            lines_.push_back("[" + std::string(SettingsStore::keyPath) + "]" + lineEnd_);
            lines_.push_back(line);
        }
    }

    std::string content() const
    {
        std::string out;
        for (const std::string& line : lines_)
            out += line + '\n';
        return out;
    }

private:
    struct Layout {
        std::map<std::string, std::pair<size_t, size_t>> values;  // name -> first line, lines
        std::optional<size_t> keyEnd;  // where a new value of the key goes
    };

    static std::string lowerCase(std::string_view s)
    {
        std::string out(s);
        for (char& c : out)
            c = lowerAscii(c);
        return out;
    }

    Layout scan() const
    {
        Layout layout;
        bool inKey = false;
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (auto section = sectionName(lines_[i])) {
                inKey = equalsIgnoringCase(*section, SettingsStore::keyPath);
                if (inKey)
                    layout.keyEnd = i + 1;
                continue;
            }
            if (!inKey)
                continue;
            size_t span = 1;
            // A line ending in "\" goes on in the indented lines below it (hex: data).
            while (trimRight(lines_[i + span - 1]).size() > 0
                   && trimRight(lines_[i + span - 1]).back() == '\\' && i + span < lines_.size()
                   && !lines_[i + span].empty()
                   && (lines_[i + span][0] == ' ' || lines_[i + span][0] == '\t'))
                ++span;
            if (auto value = parseValueLine(lines_[i]))
                layout.values[lowerCase(value->name)] = {i, span};
            i += span - 1;
            if (!isBlank(lines_[i]))
                layout.keyEnd = i + 1;
        }
        return layout;
    }

    void ensureHeader()
    {
        if (!lines_.empty()) {
            std::string_view first = trimRight(lines_.front());
            if (first.substr(0, 3) == "\xEF\xBB\xBF")
                first.remove_prefix(3);
            if (first == headerLine || first == unicodeHeaderLine)
                return;
        }
        lines_.insert(lines_.begin(), {std::string(headerLine) + lineEnd_, lineEnd_});
    }

    std::vector<std::string> lines_;
    std::string lineEnd_;  // "\r" when the file has Windows line ends
};

// ---- The file -------------------------------------------------------------------------------

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

enum class FileState { absent, fullAccess, refused };

// "Open the key with full access": the file can be read and written. Anything but a regular
// file (a folder, a pipe that would block the reading) is refused, as is an oversized one.
FileState fileState(const std::string& path, struct stat* status)
{
    if (::stat(path.c_str(), status) != 0)
        return errno == ENOENT ? FileState::absent : FileState::refused;
    if (!S_ISREG(status->st_mode) || status->st_size > off_t(SettingsStore::maximumFileSize)
        || ::access(path.c_str(), R_OK | W_OK) != 0)
        return FileState::refused;
    return FileState::fullAccess;
}

std::optional<std::string> readWholeFile(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::string content;
    char buffer[8192];
    while (true) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return content;
        content.append(buffer, static_cast<size_t>(got));
        if (content.size() > SettingsStore::maximumFileSize)
            return std::nullopt;  // grew since it was looked at
    }
}

bool writeAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.data() + done, data.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Like mkdir -p; true when the folder exists afterwards.
bool makeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        const std::string prefix = folder.substr(0, slash);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat status;
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

using Edit = std::function<void(RegFile&)>;

} // namespace

SettingsStore::SettingsStore(std::string configFolder) : configFolder_(std::move(configFolder)) {}

std::string SettingsStore::filePath() const { return configFolder_ + "/" + fileName; }

void SettingsStore::loadSettings(Settings& settings) const
{
    settings = Settings{};
    struct stat status;
    if (fileState(filePath(), &status) != FileState::fullAccess)
        return;  // no key, or no full access to it: every setting keeps its default
    const std::optional<std::string> content = readWholeFile(filePath());
    if (!content)
        return;
    const RegFile file(*content);

    // A value of another type ends the reading; what was read before it stays.
    auto readInteger = [&](std::string_view name, int& target) {
        const auto value = file.find(name);
        if (value && value->kind != Kind::integer)
            return false;
        if (value)
            target = value->integer;
        return true;
    };
    auto readText = [&](std::string_view name, std::string& target) {
        const auto value = file.find(name);
        if (value && value->kind != Kind::text)
            return false;
        if (value)
            target = value->text;
        return true;
    };
    if (!readInteger("ScanCommNo", settings.link.ScanCommNo)
        || !readText("ScanBaudRate", settings.link.ScanBaudRate)
        || !readInteger("ScanBaudRateNo", settings.link.ScanBaudRateNo)
        || !readText("LanguageFlag", settings.LanguageFlag))
        return;
    settings.uiLanguage = uiLanguageFromFlag(settings.LanguageFlag);
}

namespace {

// Reads the file (or starts a new one), applies the edit and puts the result in its place
// atomically; false, with the old file as it was, when any step fails.
bool saveWith(const SettingsStore& store, const SettingsStore::BeforeReplace& beforeReplace,
              const Edit& edit)
{
    const std::string folder = store.configFolder();
    const std::string path = store.filePath();
    if (!makeFolders(folder) || ::access(folder.c_str(), R_OK | W_OK | X_OK) != 0)
        return false;
    struct stat status;
    const FileState state = fileState(path, &status);
    if (state == FileState::refused)
        return false;
    std::string content;
    mode_t mode = 0600;
    if (state == FileState::fullAccess) {
        const auto old = readWholeFile(path);
        if (!old)
            return false;
        content = *old;
        mode = status.st_mode & 07777;
    }
    RegFile file(content);
    edit(file);

    std::string temporary = path + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    const bool written = writeAll(fd.get(), file.content()) && ::fchmod(fd.get(), mode) == 0
                         && ::fsync(fd.get()) == 0 && fd.close();
    if (!written || (beforeReplace && !beforeReplace(temporary))
        || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
    return true;
}

// A text with a line break or a NUL cannot stand in one line of the file: that value fails.
bool storableText(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

} // namespace

bool SettingsStore::saveLinkSettings(const LinkSettings& link) const
{
    const bool storable = storableText(link.ScanBaudRate);
    const bool saved = saveWith(*this, beforeReplace_, [&](RegFile& file) {
        file.set("ScanCommNo", dwordData(link.ScanCommNo));
        file.set("ScanBaudRateNo", dwordData(link.ScanBaudRateNo));
        // A failed value ends the save there; the two before it stay written.
        if (storable)
            file.set("ScanBaudRate", quoted(link.ScanBaudRate));
    });
    return saved && storable;
}

bool SettingsStore::saveLanguageFlag(const std::string& languageFlag) const
{
    if (!storableText(languageFlag))
        return false;
    return saveWith(*this, beforeReplace_,
                    [&](RegFile& file) { file.set("LanguageFlag", quoted(languageFlag)); });
}

} // namespace tempik
