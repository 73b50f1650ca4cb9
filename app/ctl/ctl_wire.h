#pragma once
// What tempikctl sees of the frames on one port: the trace on standard error, one line per
// exchange in the --log file, the serial number of the last status reply and the reader's own
// verdict ("OK", "NG") on the commands of the last attempt.
#include "link/reader_link.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tempik::ctl {

// A log file shared by every port: lines are appended whole, one writer at a time.
class ExchangeLog {
public:
    // False when the file cannot be opened for appending.
    bool open(const std::string& path);
    ~ExchangeLog();
    void append(const std::string& port, const std::string& device, const std::string& request,
                const std::string& reply);

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

class WireRecorder {
public:
    WireRecorder(bool trace, std::chrono::steady_clock::time_point started, ExchangeLog* log);
    ~WireRecorder();
    WireRecorder(const WireRecorder&) = delete;
    WireRecorder& operator=(const WireRecorder&) = delete;

    // Watches link's frames; portName tells the port of the channel open now (a scan moves on).
    void attach(ReaderLink& link, std::function<std::string()> portName);

    // The serial number of the last status reply seen; empty when none came.
    const std::string& serialNumber() const { return serial_; }
    // The reader's verdict on the commands of the last attempt: "NG" when any reply says so,
    // "OK" when every one does, "other" for replies that say neither, "none" without a reply.
    std::string replyVerdict() const;
    // --strict: a reply that is not the command's own OK (NG, or another frame) fails.
    bool failsStrict() const { return replyVerdict() == "NG" || replyVerdict() == "other"; }

private:
    void sent(const std::vector<uint8_t>& frame);
    void received(const std::vector<uint8_t>& bytes);
    void flushPending(const std::string& reply);

    bool trace_;
    std::chrono::steady_clock::time_point started_;
    ExchangeLog* log_;
    ReaderLink* link_ = nullptr;
    std::function<std::string()> portName_;
    std::optional<std::string> pendingRequest_;   // payload written, reply not yet logged
    std::string lastPayload_;
    std::string serial_;
    std::vector<std::string> commandReplies_;
};

} // namespace tempik::ctl
