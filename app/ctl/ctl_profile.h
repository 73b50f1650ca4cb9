#pragma once
// A profile: the settings a site's readers should hold, in a TOML file whose keys are the set
// commands' names. Every value is checked as its command checks it before anything is sent.
#include "reader/operation_table.h"

#include <map>
#include <string>
#include <vector>

namespace tempik::ctl {

struct ProfileSetting {
    const OperationRow* row;
    std::string value;   // as the command would take it; an icon's path made absolute
};

struct Profile {
    // In the order they run: factory defaults first, the identifier, then the line definition
    // last, since the link must follow the reader to it.
    std::vector<ProfileSetting> settings;
    std::map<std::string, std::string> ids;   // serial number to identifier
};

// The profile at path, every value checked for uiLanguage's code page; throws UsageError with
// "FILE:LINE:COLUMN: what is wrong".
Profile loadProfile(const std::string& path, int uiLanguage);

// A profile setting's name: its key, or "id" for the identifier from [ids].
std::string settingName(const ProfileSetting& setting);

} // namespace tempik::ctl
