#pragma once
// One reader reached through a device, clock and link of its own, so that several can run at
// once (--all): the scan or a set operation exactly as the window runs them, and what tempikctl
// reports of the result.
#include "app/ctl/ctl_commands.h"
#include "app/ctl/ctl_controls.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_wire.h"
#include "link/clock.h"
#include "link/port_map.h"
#include "link/reader_link.h"
#include "reader/operations.h"
#include "reader/session.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tempik::ctl {

// The port map as seen by one run, remembering the port last asked for (for the log), and
// limited to one port when the run must not reach the others.
class RunPortMap final : public PortMap {
public:
    RunPortMap(const PortMap& ports, std::optional<int> only) : ports_(ports), only_(only) {}
    std::optional<std::string> devicePath(int portNumber) const override;
    int lastPort() const { return last_; }

private:
    const PortMap& ports_;
    std::optional<int> only_;
    mutable int last_ = 0;
};

struct RunOptions {
    bool trace = false;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    ExchangeLog* log = nullptr;
    bool lock = true;
    std::optional<int> hour;
};

class ReaderRun {
public:
    // onlyPort: the run reaches that port alone (every other port of the map does not exist).
    ReaderRun(const PortMap& ports, std::optional<int> onlyPort, const SettingsStore& store, Settings settings,
              const RunOptions& options);

    // The argument of the command into the controls; throws UsageError.
    void apply(const CommandEntry& entry, const std::string& argument);
    bool scan() { return operations.btnScanClick(); }
    OperationOutcome set(const CommandEntry& entry) { return (operations.*entry.operation)(); }

    // The members of the scan's report: outcome, message, and the reader when found.
    Report scanReport(const std::string& command, bool found);
    // The members of a set command's report: outcome, message, port, device, serial, reply.
    Report setReport(const std::string& command, OperationOutcome outcome);
    // One line naming the reader a set command went to: "Set Ok (COM3 /dev/ttyUSB0, S/N 12345678, reply OK)".
    std::string setLine(OperationOutcome outcome);

    std::unique_ptr<SerialDevice> device;
    SystemClock clock;
    RunPortMap portMap;
    Settings settings;
    ReaderLink link;
    ReaderSession session;
    CtlControls controls;
    ReaderOperations operations;
    WireRecorder wire;
};

bool sameLink(const LinkSettings& a, const LinkSettings& b);
const char* outcomeName(OperationOutcome outcome);

} // namespace tempik::ctl
