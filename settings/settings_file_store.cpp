// The settings store as a registry export file, edited as a list of lines and saved whole as
// every file of the configuration folder is (config_file.h).
#include "settings/settings_file_store.h"

#include "settings/config_file.h"
#include "settings/registry_file.h"

#include <unistd.h>

namespace tempik {

SettingsFileStore::SettingsFileStore(std::string configFolder) : configFolder_(std::move(configFolder)) {}

std::string SettingsFileStore::filePath() const { return configFolder_ + "/" + fileName; }

void SettingsFileStore::loadSettings(Settings& settings) const
{
    settings = Settings{};
    // "Open the key with full access": without it every setting keeps its default.
    if (::access(filePath().c_str(), R_OK | W_OK) != 0)
        return;
    const std::optional<std::string> content = readConfigFile(filePath());
    if (!content)
        return;
    const RegistryFile file(*content);
    readSettings([&file](std::string_view name) { return file.find(name); }, settings);
}

namespace {

bool saveWith(const SettingsFileStore& store, const BeforeReplace& beforeReplace,
              const std::function<void(RegistryFile&)>& edit)
{
    return saveConfigFile(
        store.configFolder(), SettingsFileStore::fileName,
        [&edit](const std::string& old) {
            RegistryFile file(old);
            edit(file);
            return file.content();
        },
        beforeReplace);
}

// A text with a line break or a NUL cannot stand in one line of the file: that value fails.
bool storableText(const std::string& text)
{
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

} // namespace

bool SettingsFileStore::saveLinkSettings(const LinkSettings& link) const
{
    const bool storable = storableText(link.ScanBaudRate);
    const bool saved = saveWith(*this, beforeReplace_, [&](RegistryFile& file) {
        file.set("ScanCommNo", registryDword(link.ScanCommNo));
        file.set("ScanBaudRateNo", registryDword(link.ScanBaudRateNo));
        // A failed value ends the save there; the two before it stay written.
        if (storable)
            file.set("ScanBaudRate", registryText(link.ScanBaudRate));
    });
    return saved && storable;
}

bool SettingsFileStore::saveLanguageFlag(const std::string& languageFlag) const
{
    if (!storableText(languageFlag))
        return false;
    return saveWith(*this, beforeReplace_,
                    [&](RegistryFile& file) { file.set("LanguageFlag", registryText(languageFlag)); });
}

std::unique_ptr<SettingsStore> makeSystemSettingsStore(const std::string& configFolder)
{
    return std::make_unique<SettingsFileStore>(configFolder);
}

} // namespace tempik
