#pragma once
// apply --check: the frames a profile would send, written to a reader that exists only in
// memory and accepts everything, on a clock that never waits. No port is opened.
#include "app/ctl/ctl_profile.h"
#include "settings/settings_store.h"

#include <ostream>

namespace tempik::ctl {

// One line per frame, "SETTING  hex  |text|", in the order the profile runs.
void printProfileFrames(const Profile& profile, const Settings& settings, std::ostream& out);

} // namespace tempik::ctl
