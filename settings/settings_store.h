#pragma once
// The four settings kept between runs, and the store they are kept in: a registry export file
// on Linux (settings_file_store), the registry itself on Windows. A store that cannot be read
// leaves the defaults, silently; a save that cannot be made says so, so the operator can be told.
#include "link/line_definition.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tempik {

struct Settings {
    LinkSettings link;
    std::string LanguageFlag = "English";
    int uiLanguage = 0;
};

// The key the four values live under.
constexpr const char* settingsKeyPath = "HKEY_LOCAL_MACHINE\\Software\\KESTO\\TEMPIKConfig";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Defaults, then the stored values over them; a value of the wrong type ends the reading.
    virtual void loadSettings(Settings& settings) const = 0;
    // ScanCommNo, ScanBaudRateNo, ScanBaudRate, in this order. Each save is true when every
    // value it was given is now stored, false when the store was left as it was or a value
    // could not be stored.
    virtual bool saveLinkSettings(const LinkSettings& link) const = 0;
    virtual bool saveLanguageFlag(const std::string& languageFlag) const = 0;
    // Where the values are kept (a file, a registry key), for the operator's messages.
    virtual std::string location() const = 0;
};

enum class ValueKind { integer, text, other };

struct StoredValue {
    ValueKind kind = ValueKind::other;
    int integer = 0;
    std::string text;
};

// Fills settings from a store's values: defaults first, then ScanCommNo, ScanBaudRate,
// ScanBaudRateNo and LanguageFlag in this order. A value of another type than its setting's ends
// the reading; what was read before it stays.
using FindValue = std::function<std::optional<StoredValue>(std::string_view name)>;
void readSettings(const FindValue& find, Settings& settings);

// The platform's store for the configuration folder.
std::unique_ptr<SettingsStore> makeSystemSettingsStore(const std::string& configFolder);

} // namespace tempik
