#pragma once
// --all: every reader at once. One thread per port (at most 8 per network host) runs the
// sweep's own sequence on that port alone, starting at the line its reader was remembered at,
// then the set command on the reader found there. A scan covers every port of the map and
// remembers the readers it found (ctl_known_readers); a set command goes to those.
#include "app/ctl/ctl_profile.h"
#include "app/ctl/ctl_reader_run.h"
#include "app/ctl/ctl_request.h"
#include "settings/settings_store.h"

#include <string>

namespace tempik::ctl {

// Prints one result per reader in port order, every remembered reader not reached, and a summary
// line; saves the first reader's port and line, as a sweep would. With a profile, applies it to
// every reader found. Returns the exit code: 0 when every reader known got it.
int runAll(const Request& request, const PortMap& ports, const SettingsStore& store, const Settings& settings,
           const RunOptions& options, const std::string& configFolder, const Profile* profile = nullptr);

} // namespace tempik::ctl
