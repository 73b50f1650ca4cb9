#pragma once
// apply: a profile's settings on one reader, each run as its command runs it (the window's
// operation with its own pauses), one result per setting.
#include "app/ctl/ctl_profile.h"
#include "app/ctl/ctl_reader_run.h"

#include <string>
#include <vector>

namespace tempik::ctl {

struct SettingResult {
    std::string setting;
    std::string verdict;   // an outcome's name, or "not-listed" for an identifier [ids] lacks
    std::string reply;     // the reader's own: OK, NG, other, none
};

// Runs every setting, going on after one that failed.
std::vector<SettingResult> applyProfile(const Profile& profile, ReaderRun& run);

// Every setting accepted (an identifier not listed counts as kept); with strict, an NG fails.
bool allAccepted(const std::vector<SettingResult>& results, bool strict);

// One object per reader: port, device, serial, then the settings.
Report applyReport(ReaderRun& run, const std::vector<SettingResult>& results);
// The reader, then one line per setting.
std::string applyText(ReaderRun& run, const std::vector<SettingResult>& results);

} // namespace tempik::ctl
