#pragma once
// A registry export file (REGEDIT4) as a list of lines, edited in place: a value is replaced
// where it stands or added at the end of its key, and every line that is not ours survives
// byte for byte, including lines it cannot make sense of. Only the settings key is read.
#include "settings/settings_store.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tempik {

// The data of a value line: "text" with \\ and \" escaped, and dword:%08x.
std::string registryText(const std::string& text);
std::string registryDword(int value);

class RegistryFile {
public:
    explicit RegistryFile(const std::string& content);

    // The value in the settings key, nothing when it is absent. Our key may appear more than
    // once; as on import, a value found later wins.
    std::optional<StoredValue> find(std::string_view name) const;
    // Replaces the value where it stands, or adds it at the end of the last settings key.
    void set(std::string_view name, const std::string& data);
    std::string content() const;

private:
    struct Layout {
        std::map<std::string, std::pair<size_t, size_t>> values;  // name -> first line, lines
        std::optional<size_t> keyEnd;  // where a new value of the key goes
    };

    Layout scan() const;
    void ensureHeader();

    std::vector<std::string> lines_;
    std::string lineEnd_;  // "\r" when the file has Windows line ends
};

} // namespace tempik
