#pragma once
// The four settings kept between runs, in TEMPIKConfig.reg in the configuration folder, in the
// registry export format under [HKEY_LOCAL_MACHINE\Software\KESTO\TEMPIKConfig]. A file that
// cannot be read leaves the defaults, silently; a save that cannot be made says so, so the
// operator can be told. Saves are atomic and keep every line they did not write.
#include "link/line_definition.h"

#include <functional>
#include <string>

namespace tempik {

struct Settings {
    LinkSettings link;
    std::string LanguageFlag = "English";
    int uiLanguage = 0;
};

class SettingsStore {
public:
    static constexpr const char* fileName = "TEMPIKConfig.reg";
    static constexpr const char* keyPath = "HKEY_LOCAL_MACHINE\\Software\\KESTO\\TEMPIKConfig";

    explicit SettingsStore(std::string configFolder);

    // Defaults, then the stored values over them; a value of the wrong type ends the reading.
    void loadSettings(Settings& settings) const;
    // ScanCommNo, ScanBaudRateNo, ScanBaudRate, in this order. Each save is true when every
    // value it was given is now in the file, false when the file was left as it was (a folder
    // or file that cannot be written, an oversized file) or a value could not be stored.
    bool saveLinkSettings(const LinkSettings& link) const;
    bool saveLanguageFlag(const std::string& languageFlag) const;

    std::string filePath() const;
    const std::string& configFolder() const { return configFolder_; }

    // Called with the finished temporary file just before it replaces the store; returning
    // false abandons the save and leaves the old file as it was. Lets tests interrupt a save.
    using BeforeReplace = std::function<bool(const std::string& temporaryPath)>;
    void setBeforeReplace(BeforeReplace hook) { beforeReplace_ = std::move(hook); }

    // A store file larger than this is not read, and not rewritten.
    static constexpr size_t maximumFileSize = 1 << 20;

private:
    std::string configFolder_;
    BeforeReplace beforeReplace_;
};

} // namespace tempik
