#pragma once
// The settings store on Linux: TEMPIKConfig.reg in the configuration folder, in the registry
// export format under the settings key. Saves are atomic (a temporary file, flushed, renamed),
// locked against each other, keep every line they did not write and the file's owner and mode,
// and replace the file a symbolic link points to rather than the link.
#include "settings/config_file.h"
#include "settings/settings_store.h"

#include <functional>
#include <string>

namespace tempik {

class SettingsFileStore final : public SettingsStore {
public:
    static constexpr const char* fileName = "TEMPIKConfig.reg";
    static constexpr const char* keyPath = settingsKeyPath;
    // A store file larger than this is not read, and not rewritten; a save that would make the
    // file larger is refused.
    static constexpr size_t maximumFileSize = maximumConfigFileSize;

    explicit SettingsFileStore(std::string configFolder);

    void loadSettings(Settings& settings) const override;
    bool saveLinkSettings(const LinkSettings& link) const override;
    bool saveLanguageFlag(const std::string& languageFlag) const override;
    std::string location() const override { return filePath(); }

    std::string filePath() const;
    const std::string& configFolder() const { return configFolder_; }

    using BeforeReplace = tempik::BeforeReplace;
    void setBeforeReplace(BeforeReplace hook) { beforeReplace_ = std::move(hook); }

private:
    std::string configFolder_;
    BeforeReplace beforeReplace_;
};

} // namespace tempik
