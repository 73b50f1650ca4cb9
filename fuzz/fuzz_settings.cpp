// The settings file reader: the fuzzer's bytes are TEMPIKConfig.reg. Loads it, saves the link
// settings and the language over it, and reloads: what was saved reads back exactly, and every
// line the saves did not write is still there, in its order.
#include "fuzz/fuzz_check.h"
#include "settings/settings_file_store.h"
#include "texts/text_table.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

using namespace tempik;

namespace {

void writeFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

std::string readFile(const std::string& path)
{
    std::string content;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(file != nullptr);
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    std::fclose(file);
    return content;
}

// Lines as the store splits them: at each line feed, the line feed dropped.
std::vector<std::string> splitLines(const std::string& content)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        lines.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// A line the saves may rewrite: one that starts with one of the four names in quotes, or an
// indented line that may carry on a value from the line above.
bool mayBeRewritten(const std::string& line)
{
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t'))
        return true;
    for (const char* name : {"ScanCommNo", "ScanBaudRateNo", "ScanBaudRate", "LanguageFlag"}) {
        const std::string_view n(name);
        if (line.size() >= n.size() + 2 && line[0] == '"' && line[n.size() + 1] == '"'
            && sameIgnoringCase(std::string_view(line).substr(1, n.size()), n))
            return true;
    }
    return false;
}

bool storable(const std::string& text) { return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

} // namespace

// The store makes each save durable with fsync; durability is not what this target looks at, and
// waiting for the disk three times a run would cut the executions a hundredfold. This definition
// takes the place of the C library's in this program only.
extern "C" int fsync(int) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SettingsFileStore store(fuzz::scratchFolder("fuzz_settings"));
    const std::string path = store.filePath();
    std::remove(path.c_str());   // a new file each time, as in fuzz_icon
    writeFile(path, data, size);

    Settings loaded;
    store.loadSettings(loaded);
    FUZZ_CHECK(loaded.uiLanguage == uiLanguageFromFlag(loaded.LanguageFlag));

    // New values that differ from the loaded ones; the loaded line text is kept when it can be
    // stored, so its escapes go through a save.
    LinkSettings link;
    link.ScanCommNo = loaded.link.ScanCommNo ^ 1;
    link.ScanBaudRateNo = loaded.link.ScanBaudRateNo ^ 0x40000002;
    link.ScanBaudRate = storable(loaded.link.ScanBaudRate) ? loaded.link.ScanBaudRate + "\\\"" : "9600,n,8,1";
    const std::string language = storable(loaded.LanguageFlag) ? loaded.LanguageFlag + "\"x\\" : "Chinese";
    // Both values are storable and the file is ours to rewrite: each save says it was made.
    FUZZ_CHECK(store.saveLinkSettings(link));
    FUZZ_CHECK(store.saveLanguageFlag(language));

    Settings reloaded;
    store.loadSettings(reloaded);
    FUZZ_CHECK(reloaded.link.ScanCommNo == link.ScanCommNo);
    FUZZ_CHECK(reloaded.link.ScanBaudRateNo == link.ScanBaudRateNo);
    FUZZ_CHECK(reloaded.link.ScanBaudRate == link.ScanBaudRate);
    FUZZ_CHECK(reloaded.LanguageFlag == language);

    // Every other line survives the two saves, in its order.
    const std::vector<std::string> before = splitLines(std::string(reinterpret_cast<const char*>(data), size));
    const std::vector<std::string> after = splitLines(readFile(path));
    size_t at = 0;
    for (const std::string& line : before) {
        if (mayBeRewritten(line))
            continue;
        while (at < after.size() && after[at] != line)
            ++at;
        FUZZ_CHECK(at < after.size());
        ++at;
    }
    return 0;
}
