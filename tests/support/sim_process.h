#pragma once
// Runs the simulated reader (tempik-sim) as a child process for end-to-end tests: a temporary
// configuration root, the reader linked there as ports/COM<n>, its state file, and clean teardown.
// Also a general helper to run any program to its end and collect its output and exit code.
#include "tests/support/files.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tempik::testing {

struct ProgramResult {
    int exitCode = -1;          // -1 when it was killed by a signal or did not end in time
    int signal = 0;             // the signal that ended it, 0 if none
    bool timedOut = false;
    std::string out;            // standard output
    std::string err;            // standard error
};

// Runs path with args (argv[0] is path) to its end, killing it after timeout. asNobody: the
// child becomes user and group nobody before it starts the program (exit 126 if it cannot).
// started, if given, is called with the child's pid once it runs (to signal it, say).
ProgramResult runProgram(const std::string& path, const std::vector<std::string>& args,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10), bool asNobody = false,
                         const std::function<void(pid_t)>& started = {});

// Runs path as the unprivileged user nobody when the tests run as root, as it is otherwise. The
// build folder may lie where nobody cannot go (a clone in /root, a mktemp -d folder), so nobody
// runs a copy of the program put in reachableFolder.
ProgramResult runUnprivileged(const std::string& path, const std::vector<std::string>& args,
                              const std::string& reachableFolder,
                              std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Why the program could not be started at all (as nobody, or from where it lies), or empty.
std::string couldNotRun(const ProgramResult& result);

// Paths of the built simulator and command-line tool.
std::string simBinaryPath();
std::string ctlBinaryPath();

struct SimSetup {
    // Options after the ones the helper adds (--line, --id, fault options ...).
    std::vector<std::string> args;
    // Linked as <configFolder>/ports/COM<port> (the sim makes the link); 0: no --link.
    int port = 3;
    // Write the state file (--state <root>/sim-COM<port>.json).
    bool stateFile = true;
    // Share an existing configuration root (several readers on several ports); empty: a
    // temporary root of this process's own.
    std::string configRoot;
    std::chrono::milliseconds readyTimeout = std::chrono::seconds(5);
};

// Starts the simulator and waits for its "ready <slave>" line. The destructor kills it (SIGKILL)
// if it still runs and reaps it; stop() ends it the clean way.
class SimProcess {
public:
    explicit SimProcess(SimSetup setup = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ready() const { return ready_; }
    // Why it is not ready: what it wrote to standard error, or what went wrong here.
    const std::string& failure() const { return failure_; }

    pid_t pid() const { return pid_; }
    const std::string& slavePath() const { return slavePath_; }
    // The value for XDG_CONFIG_HOME; the tool's configuration folder is configRoot()/KESTO.
    const std::string& configRoot() const { return configRoot_; }
    std::string configFolder() const;
    // <configFolder>/ports/COM<port>, or empty without a port.
    std::string portLinkPath() const;
    int port() const { return setup_.port; }
    // Empty without a state file.
    std::string statePath() const;

    // Whole state file as written last (empty if none).
    std::string stateText() const;
    // A top-level string field of the state, unescaped (\u00XX becomes the byte XX);
    // nullopt when missing.
    std::optional<std::string> stateField(const std::string& key) const;
    // The picture: 16 rows of 128 characters, '#' on and '.' off.
    std::vector<std::string> statePicture() const;

    // Sends sig and waits for the end; returns the exit code, or -1 (killed, or still running
    // after timeout, in which case it is killed).
    int stop(int sig = 15 /* SIGTERM */,
             std::chrono::milliseconds timeout = std::chrono::seconds(5));
    bool running();

    // Everything the process wrote to standard error so far.
    std::string errorOutput() const;

private:
    void start();
    SimSetup setup_;
    std::optional<TempFolder> ownRoot_;
    std::string configRoot_;
    std::string stderrPath_;
    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    bool ready_ = false;
    std::string failure_;
    std::string slavePath_;
};

// Reads a top-level string field out of the simulator's JSON state text (same unescaping as
// SimProcess::stateField).
std::optional<std::string> jsonStringField(const std::string& json, const std::string& key);

} // namespace tempik::testing
