#include "app/ctl/ctl_dry_run.h"

#include "app/ctl/ctl_controls.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_unsaved_store.h"
#include "link/clock.h"
#include "link/frame.h"
#include "link/port_map.h"
#include "link/reader_link.h"
#include "reader/operations.h"

#include <deque>

namespace tempik::ctl {

namespace {

// Answers every request at once: a status reply naming serialNumber, a version, "OK" otherwise.
class AcceptingDevice final : public SerialDevice {
public:
    bool open(const std::string&, const std::string&) override { return true; }
    void close() override { pending_.clear(); }
    void write(const uint8_t* data, size_t count) override
    {
        request_.append(reinterpret_cast<const char*>(data), count);
        if (request_.empty() || request_.back() != '\r')
            return;
        const size_t stx = request_.find('\x02');
        const std::string payload = request_.substr(1, stx == std::string::npos ? 0 : stx - 1);
        request_.clear();
        const std::string code = payload.substr(4, 2);
        const std::vector<uint8_t> reply = buildReplyFrame(code == "AS" ? "000100--------" : code == "AV" ? "000100--.--.--"
                                                                                                      : "0001" + code + "OK");
        pending_.insert(pending_.end(), reply.begin(), reply.end());
    }
    ReadOutcome readByte(uint8_t& value) override
    {
        if (pending_.empty())
            return ReadOutcome::none;
        value = pending_.front();
        pending_.pop_front();
        return ReadOutcome::byte;
    }
    void discardInput() override { pending_.clear(); }
    DeviceFailure failure() const override { return DeviceFailure::none; }

private:
    std::string request_;
    std::deque<uint8_t> pending_;
};

// Time moves on only as it is asked for, so the pauses cost nothing.
class InstantClock final : public Clock {
public:
    uint32_t nowMs() override { return ++now_; }
    void sleepMs(uint32_t ms) override { now_ += ms; }

private:
    uint32_t now_ = 0;
};

class OnePort final : public PortMap {
public:
    std::optional<std::string> devicePath(int) const override { return "check"; }
};

} // namespace

void printProfileFrames(const Profile& profile, const Settings& settingsIn, std::ostream& out)
{
    AcceptingDevice device;
    InstantClock clock;
    OnePort port;
    UnsavedStore store;
    Settings settings = settingsIn;
    ReaderLink link(device, clock, port);
    ReaderSession session{link, settings, store};
    session.readerFound = true;
    CtlControls controls;
    ReaderOperations operations(session, controls);
    std::string name;
    link.setFrameObserver([&](ReaderLink::Direction direction, const std::vector<uint8_t>& bytes) {
        if (direction != ReaderLink::Direction::sent)
            return;
        const std::string line = traceLine(0, direction, bytes);   // without its time
        out << name << line.substr(line.find('>') + 1) << "\n";
    });
    for (const ProfileSetting& setting : profile.settings) {
        name = settingName(setting);
        if (setting.row->from != ValueFrom::none)
            setting.row->take(setting.value.empty() ? "1" : setting.value, controls, settings.uiLanguage);
        (operations.*setting.row->operation)();
    }
    if (!profile.ids.empty())
        out << "id: from [ids] by the serial number of each reader (" << profile.ids.size()
            << " listed; here the frame for identifier 0001)\n";
}

} // namespace tempik::ctl
