#include "app/ctl/ctl_wire.h"

#include "app/ctl/ctl_report.h"
#include "link/frame.h"
#include "link/system_path.h"
#include "reader/commands.h"
#include "reader/set_operation.h"
#include "texts/code_page.h"

#include <algorithm>
#include <ctime>
#include <iostream>

namespace tempik::ctl {

namespace {

// Printable ASCII as it stands; any other byte, the backslash and the space as \xHH, so that the
// fields of a log line stay apart whatever a text holds.
std::string escaped(const std::string& raw)
{
    std::string out;
    for (unsigned char c : raw) {
        if (c > 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// The data of a reply: between its last ETX and the EOT after it.
std::string rawReplyData(const std::vector<uint8_t>& bytes)
{
    const auto etx = std::find(bytes.rbegin(), bytes.rend(), ETX);
    if (etx == bytes.rend())
        return {};
    const auto begin = etx.base();
    return std::string(begin, std::find(begin, bytes.end(), EOT));
}

// Whether the bytes end in a whole, well-checked reply frame of a status reply's length, data
// being its data: what the operations accept as the reader's status.
bool isStatusReply(const std::vector<uint8_t>& bytes, const std::string& data)
{
    const std::vector<uint8_t> frame = buildReplyFrame(data);
    return frame.size() == static_cast<size_t>(statusReplyLength) && bytes.size() >= frame.size() &&
           std::equal(frame.begin(), frame.end(), bytes.end() - static_cast<std::ptrdiff_t>(frame.size()));
}

bool endsWith(const std::string& text, const char* tail)
{
    const std::string t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

// The data of a request frame: between SOH and STX.
std::string requestPayload(const std::vector<uint8_t>& frame)
{
    const auto soh = std::find(frame.begin(), frame.end(), SOH);
    return soh == frame.end() ? std::string() : std::string(soh + 1, std::find(soh + 1, frame.end(), STX));
}

// Time of day in UTC with milliseconds: "2026-12-09T05:30:01.123Z".
std::string wallClockNow()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", std::gmtime(&seconds));
    char withMs[48];
    std::snprintf(withMs, sizeof withMs, "%s.%03dZ", text, static_cast<int>(ms));
    return withMs;
}

} // namespace

bool ExchangeLog::open(const std::string& path)
{
    file_ = openFile(path, "a");
    return file_ != nullptr;
}

ExchangeLog::~ExchangeLog()
{
    if (file_)
        std::fclose(file_);
}

void ExchangeLog::append(const std::string& port, const std::string& device, const std::string& request,
                         const std::string& reply)
{
    const std::lock_guard<std::mutex> lock(mutex_);   // gmtime's buffer and the line are shared
    if (!file_)
        return;
    const std::string line = wallClockNow() + " " + port + " " + device + " request=" + request + " reply=" + reply + "\n";
    std::fputs(line.c_str(), file_);
    std::fflush(file_);   // a run cut short still leaves every exchange made
}

WireRecorder::WireRecorder(bool trace, std::chrono::steady_clock::time_point started, ExchangeLog* log)
    : trace_(trace), started_(started), log_(log)
{
}

WireRecorder::~WireRecorder()
{
    flushPending("-");
}

void WireRecorder::attach(ReaderLink& link, std::function<std::string()> portName)
{
    link_ = &link;
    portName_ = std::move(portName);
    link.setFrameObserver([this](ReaderLink::Direction direction, const std::vector<uint8_t>& bytes) {
        if (trace_) {
            const std::chrono::duration<double, std::milli> at = std::chrono::steady_clock::now() - started_;
            // One write per line: with --all the ports trace at the same time.
            std::cerr << traceLine(at.count(), direction, bytes) + " " + portName_() + "\n" << std::flush;
        }
        if (direction == ReaderLink::Direction::sent)
            sent(bytes);
        else
            received(bytes);
    });
}

void WireRecorder::flushPending(const std::string& reply)
{
    if (log_ && pendingRequest_ && link_)
        log_->append(portName_(), link_->lastDevicePath(), *pendingRequest_, reply);
    pendingRequest_.reset();
}

void WireRecorder::sent(const std::vector<uint8_t>& frame)
{
    flushPending("-");   // the one before had no reply
    lastPayload_ = requestPayload(frame);
    if (lastPayload_ == payload::statusQuery())
        commandReplies_.clear();   // every attempt begins with the status query
    pendingRequest_ = escaped(lastPayload_);
}

void WireRecorder::received(const std::vector<uint8_t>& bytes)
{
    const std::string data = rawReplyData(bytes);
    flushPending(escaped(data));
    if (lastPayload_ == payload::statusQuery()) {
        // Status reply: identifier, two bytes, then the serial number; only from a reply the
        // operation takes for one (a command's late reply is no status).
        if (isStatusReply(bytes, data))
            serial_ = fromCodePage(replyField(std::string(1, static_cast<char>(ETX)) + data, serialNumberField), 0);
    } else if (lastPayload_ != payload::versionQuery()) {
        commandReplies_.push_back(data);
    }
}

std::string WireRecorder::replyVerdict() const
{
    if (commandReplies_.empty())
        return "none";
    const auto says = [&](const char* word) {
        return std::all_of(commandReplies_.begin(), commandReplies_.end(), [&](const std::string& r) { return endsWith(r, word); });
    };
    for (const std::string& reply : commandReplies_)
        if (endsWith(reply, "NG"))
            return "NG";
    return says("OK") ? "OK" : "other";
}

} // namespace tempik::ctl
