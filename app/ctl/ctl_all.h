#pragma once
// --all: every reader of the map at once. One thread per port runs the sweep's own sequence on
// that port alone (the remembered line when the lock is on), then the set command on each
// reader found, at its own line.
#include "app/ctl/ctl_profile.h"
#include "app/ctl/ctl_reader_run.h"
#include "app/ctl/ctl_request.h"
#include "settings/settings_store.h"

#include <string>

namespace tempik::ctl {

// Prints one result per reader in port order and saves the first reader's port and line, as a
// sweep would. With a profile, applies it to every reader found. Returns the exit code.
int runAll(const Request& request, const PortMap& ports, const SettingsStore& store, const Settings& settings,
           const RunOptions& options, const std::string& configFolder, const Profile* profile = nullptr);

} // namespace tempik::ctl
