// Lines of a registry export. Key paths and value names do not depend on letter case.
#include "settings/registry_file.h"

#include <cstdint>
#include <cstdio>

namespace tempik {

namespace {

constexpr std::string_view headerLine = "REGEDIT4";
constexpr std::string_view unicodeHeaderLine = "Windows Registry Editor Version 5.00";

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
        value.kind = ValueKind::integer;
        value.integer = static_cast<int32_t>(number);
        return value;
    }
    if (auto text = parseQuoted(data); text && text->second.empty()) {
        value.kind = ValueKind::text;
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

std::string lowerCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

} // namespace

std::string registryText(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string registryDword(int value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<uint32_t>(value));
    return digits;
}

RegistryFile::RegistryFile(const std::string& content)
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

std::optional<StoredValue> RegistryFile::find(std::string_view name) const
{
    const Layout layout = scan();
    auto found = layout.values.find(lowerCase(name));
    if (found == layout.values.end())
        return std::nullopt;
    return parseData(parseValueLine(lines_[found->second.first])->data);
}

void RegistryFile::set(std::string_view name, const std::string& data)
{
    ensureHeader();
    const std::string line = registryText(std::string(name)) + "=" + data + lineEnd_;
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
        lines_.push_back("[" + std::string(settingsKeyPath) + "]" + lineEnd_);
        lines_.push_back(line);
    }
}

std::string RegistryFile::content() const
{
    std::string out;
    for (const std::string& line : lines_)
        out += line + '\n';
    return out;
}

RegistryFile::Layout RegistryFile::scan() const
{
    Layout layout;
    bool inKey = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (auto section = sectionName(lines_[i])) {
            inKey = equalsIgnoringCase(*section, settingsKeyPath);
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

void RegistryFile::ensureHeader()
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

} // namespace tempik
