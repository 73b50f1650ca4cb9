#pragma once
// The settings store on Windows: the registry. Values are written under HKEY_CURRENT_USER,
// because the local-machine hive cannot be written without elevation on current Windows; a
// value not there yet is read from what an earlier installation left in the local-machine key
// (or in its per-user VirtualStore copy), so those settings are taken over.
#include "settings/settings_store.h"

#include <string>

namespace tempik {

class RegistrySettingsStore final : public SettingsStore {
public:
    static constexpr const char* defaultKeyPath = "Software\\KESTO\\TEMPIKConfig";

    // keyPath below the hive root; tests give a key of their own.
    explicit RegistrySettingsStore(std::string keyPath = defaultKeyPath);

    void loadSettings(Settings& settings) const override;
    bool saveLinkSettings(const LinkSettings& link) const override;
    bool saveLanguageFlag(const std::string& languageFlag) const override;
    std::string location() const override { return "HKEY_CURRENT_USER\\" + keyPath_; }

private:
    std::string keyPath_;
};

} // namespace tempik
