#pragma once
// The simulated reader on a pseudo-terminal and everything real that talks to it: the termios
// device, the system clock, the Linux port map and the settings store of its configuration
// folder, with a recording front end. The sweep tries every line definition.
#include "link/clock.h"
#include "link/port_map_linux.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "reader/operations.h"
#include "reader/session.h"
#include "tests/support/recording_controls.h"
#include "tests/support/sim_process.h"
#include "settings/settings_file_store.h"

namespace tempik::testing {

struct LiveReader {
    explicit LiveReader(SimSetup setup) : sim(std::move(setup)), ports(sim.configFolder()), store(sim.configFolder())
    {
        store.loadSettings(settings);
        controls.lock = false;
    }

    SimProcess sim;
    PosixSerialDevice device;
    SystemClock clock;
    LinuxPortMap ports;
    ReaderLink link{device, clock, ports};
    SettingsFileStore store;
    Settings settings;
    ReaderSession session{link, settings, store};
    RecordingControls controls;
    ReaderOperations operations{session, controls};
};

} // namespace tempik::testing
