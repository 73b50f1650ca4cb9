#include "tests/support/sim_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tempik::testing {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// fork/exec with the child's stdout on a pipe and stderr on errFd (or a second pipe).
pid_t spawn(const std::string& path, const std::vector<std::string>& args, int& outRead,
            int errFd, int* errRead, bool asNobody = false)
{
    int outPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        return -1;
    int errPipe[2] = {-1, -1};
    if (errRead && pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return -1;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errRead ? errPipe[1] : errFd, STDERR_FILENO);
        const int devNull = open("/dev/null", O_RDONLY);
        if (devNull >= 0)
            dup2(devNull, STDIN_FILENO);
        if (asNobody && (setgroups(0, nullptr) != 0 || setgid(nobodyId) != 0 || setuid(nobodyId) != 0))
            _exit(126);
        execv(path.c_str(), argv.data());
        const char msg[] = "exec failed\n";
        (void)!write(STDERR_FILENO, msg, sizeof msg - 1);
        _exit(127);
    }
    close(outPipe[1]);
    if (errRead)
        close(errPipe[1]);
    if (pid < 0) {
        close(outPipe[0]);
        if (errRead)
            close(errPipe[0]);
        return -1;
    }
    outRead = outPipe[0];
    if (errRead)
        *errRead = errPipe[0];
    return pid;
}

// Waits for pid until deadline; true with status when it ended.
bool waitUntil(pid_t pid, Clock::time_point deadline, int& status)
{
    for (;;) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            return true;
        if (r < 0 && errno != EINTR)
            return true;
        if (Clock::now() >= deadline)
            return false;
        usleep(2000);
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Parses the JSON string starting at text[at] == '"'; at ends past the closing quote.
std::optional<std::string> parseJsonString(const std::string& text, size_t& at)
{
    if (at >= text.size() || text[at] != '"')
        return std::nullopt;
    std::string value;
    for (++at; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            ++at;
            return value;
        }
        if (c != '\\') {
            value += c;
            continue;
        }
        if (++at >= text.size())
            return std::nullopt;
        switch (text[at]) {
        case 'n': value += '\n'; break;
        case 't': value += '\t'; break;
        case 'r': value += '\r'; break;
        case 'u': {
            if (at + 4 >= text.size())
                return std::nullopt;
            int code = 0;
            for (int i = 1; i <= 4; ++i) {
                const int v = hexValue(text[at + static_cast<size_t>(i)]);
                if (v < 0)
                    return std::nullopt;
                code = code * 16 + v;
            }
            if (code > 0xFF)
                return std::nullopt;   // the simulator writes bytes only
            value += static_cast<char>(code);
            at += 4;
            break;
        }
        default: value += text[at]; break;   // \" \\ \/
        }
    }
    return std::nullopt;
}

// Position just after `"key":` and any spaces, or npos.
size_t valueStart(const std::string& json, const std::string& key)
{
    const std::string pattern = "\"" + key + "\"";
    size_t at = json.find(pattern);
    if (at == std::string::npos)
        return at;
    at += pattern.size();
    while (at < json.size() && (json[at] == ' ' || json[at] == '\n'))
        ++at;
    if (at >= json.size() || json[at] != ':')
        return std::string::npos;
    ++at;
    while (at < json.size() && (json[at] == ' ' || json[at] == '\n'))
        ++at;
    return at;
}

} // namespace

ProgramResult runProgram(const std::string& path, const std::vector<std::string>& args,
                         std::chrono::milliseconds timeout, bool asNobody, const std::function<void(pid_t)>& started)
{
    ProgramResult result;
    int outFd = -1, errFd = -1;
    const pid_t pid = spawn(path, args, outFd, -1, &errFd, asNobody);
    if (pid < 0) {
        result.err = std::string("cannot start ") + path + ": " + std::strerror(errno);
        return result;
    }
    if (started)
        started(pid);
    const auto deadline = Clock::now() + timeout;
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    while (open > 0 && Clock::now() < deadline) {
        if (poll(fds, 2, remainingMs(deadline)) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    if (!waitUntil(pid, deadline, status)) {
        result.timedOut = true;
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    for (auto& f : fds)
        if (f.fd >= 0)
            close(f.fd);
    if (result.timedOut)
        return result;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

ProgramResult runUnprivileged(const std::string& path, const std::vector<std::string>& args,
                              const std::string& reachableFolder, std::chrono::milliseconds timeout)
{
    if (geteuid() != 0)
        return runProgram(path, args, timeout);
    const std::string copy = reachableFolder + "/" + path.substr(path.rfind('/') + 1);
    {
        std::ifstream from(path, std::ios::binary);
        std::ofstream to(copy, std::ios::binary | std::ios::trunc);
        to << from.rdbuf();
    }
    if (::chmod(copy.c_str(), 0755) != 0) {
        ProgramResult failed;
        failed.err = "cannot copy " + path + " to " + reachableFolder;
        return failed;
    }
    return runProgram(copy, args, timeout, true);
}

std::string couldNotRun(const ProgramResult& result)
{
    if (result.exitCode == 126)
        return "it could not become user nobody";
    if (result.exitCode == 127 || (result.exitCode == -1 && !result.timedOut && result.signal == 0))
        return "it could not be started: " + result.err;
    return {};
}

std::string simBinaryPath()
{
    return TEMPIK_BINARY_DIR "/app/tempik-sim";
}

std::string ctlBinaryPath()
{
    return TEMPIK_BINARY_DIR "/app/tempikctl";
}

SimProcess::SimProcess(SimSetup setup) : setup_(std::move(setup))
{
    if (setup_.configRoot.empty()) {
        ownRoot_.emplace();
        configRoot_ = ownRoot_->path();
    } else {
        configRoot_ = setup_.configRoot;
    }
    start();
}

std::string SimProcess::configFolder() const
{
    return configRoot_ + "/KESTO";
}

std::string SimProcess::portLinkPath() const
{
    if (setup_.port <= 0)
        return {};
    return configFolder() + "/ports/COM" + std::to_string(setup_.port);
}

std::string SimProcess::statePath() const
{
    if (!setup_.stateFile)
        return {};
    return configRoot_ + "/sim-COM" + std::to_string(setup_.port) + ".json";
}

void SimProcess::start()
{
    if (configRoot_.empty()) {
        failure_ = "no temporary folder";
        return;
    }
    std::vector<std::string> args;
    if (setup_.port > 0) {
        args.push_back("--link");
        args.push_back(portLinkPath());
    }
    if (setup_.stateFile) {
        args.push_back("--state");
        args.push_back(statePath());
    }
    args.insert(args.end(), setup_.args.begin(), setup_.args.end());

    stderrPath_ = configRoot_ + "/sim-COM" + std::to_string(setup_.port) + ".stderr";
    const int errFd = ::open(stderrPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (errFd < 0) {
        failure_ = "cannot create " + stderrPath_;
        return;
    }
    const std::string binary = simBinaryPath();
    pid_ = spawn(binary, args, stdoutFd_, errFd, nullptr);
    ::close(errFd);
    if (pid_ < 0) {
        failure_ = "cannot start " + binary;
        return;
    }

    const auto deadline = Clock::now() + setup_.readyTimeout;
    std::string line;
    while (line.find('\n') == std::string::npos) {
        pollfd p{stdoutFd_, POLLIN, 0};
        const int left = remainingMs(deadline);
        if (left == 0 || poll(&p, 1, left) <= 0) {
            if (errno == EINTR && left > 0)
                continue;
            failure_ = "no ready line within the time-out; stderr: " + errorOutput();
            return;
        }
        char buffer[256];
        const ssize_t n = ::read(stdoutFd_, buffer, sizeof buffer);
        if (n <= 0) {
            usleep(20000);   // let the stderr file take the message before it is read
            failure_ = "ended before it was ready; stderr: " + errorOutput();
            return;
        }
        line.append(buffer, static_cast<size_t>(n));
    }
    line.resize(line.find('\n'));
    const std::string prefix = "ready ";
    if (line.compare(0, prefix.size(), prefix) != 0) {
        failure_ = "unexpected first line: " + line;
        return;
    }
    slavePath_ = line.substr(prefix.size());
    ready_ = true;
}

bool SimProcess::running()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0)
        return true;
    pid_ = -1;
    return false;
}

int SimProcess::stop(int sig, std::chrono::milliseconds timeout)
{
    if (pid_ <= 0)
        return -1;
    kill(pid_, sig);
    int status = 0;
    if (!waitUntil(pid_, Clock::now() + timeout, status)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SimProcess::~SimProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (stdoutFd_ >= 0)
        ::close(stdoutFd_);
    // ownRoot_ goes last (member order), after the process that wrote into it has ended.
}

std::string SimProcess::errorOutput() const
{
    return stderrPath_.empty() ? std::string() : fileText(stderrPath_);
}

std::string SimProcess::stateText() const
{
    return setup_.stateFile ? fileText(statePath()) : std::string();
}

std::optional<std::string> SimProcess::stateField(const std::string& key) const
{
    return jsonStringField(stateText(), key);
}

std::vector<std::string> SimProcess::statePicture() const
{
    const std::string json = stateText();
    std::vector<std::string> rows;
    size_t at = valueStart(json, "picture");
    if (at == std::string::npos || json[at] != '[')
        return rows;
    ++at;
    for (;;) {
        while (at < json.size() && (json[at] == ' ' || json[at] == '\n' || json[at] == ','))
            ++at;
        if (at >= json.size() || json[at] != '"')
            break;
        auto row = parseJsonString(json, at);
        if (!row)
            break;
        rows.push_back(*row);
    }
    return rows;
}

std::optional<std::string> jsonStringField(const std::string& json, const std::string& key)
{
    size_t at = valueStart(json, key);
    if (at == std::string::npos)
        return std::nullopt;
    return parseJsonString(json, at);
}

} // namespace tempik::testing
