#pragma once
// Everything a reader operation runs on, faked: clock, serial device, port map and recording
// window, with the real link, session and a settings store in a temporary folder. Also scripted
// replies and a timeline of the wire. Header-only; the test program links tempik_reader.
#include "link/frame.h"
#include "link/reader_link.h"
#include "reader/operations.h"
#include "reader/session.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_device.h"
#include "tests/support/recording_controls.h"
#include "tests/support/sim_process.h"
#include "settings/settings_file_store.h"

#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tempik::testing {

// Answers each payload with the next reply queued for it; silence once its queue is empty.
class ReplyScript {
public:
    ReplyScript& then(const std::string& payload, std::vector<uint8_t> reply)
    {
        queues_->operator[](payload).push_back(std::move(reply));
        return *this;
    }
    ReplyScript& silence(const std::string& payload) { return then(payload, {}); }
    Responder responder() const
    {
        auto queues = queues_;
        return [queues](const std::string&, const std::string&, const std::string& payload) {
            auto found = queues->find(payload);
            if (found == queues->end() || found->second.empty())
                return std::vector<uint8_t>();
            std::vector<uint8_t> reply = std::move(found->second.front());
            found->second.pop_front();
            return reply;
        };
    }

private:
    std::shared_ptr<std::map<std::string, std::deque<std::vector<uint8_t>>>> queues_ =
        std::make_shared<std::map<std::string, std::deque<std::vector<uint8_t>>>>();
};

struct ReaderRig {
    FakeClock clock;
    FakeDevice device{clock};
    FakePortMap ports;
    ReaderLink link{device, clock, ports};
    TempFolder folder;
    SettingsFileStore store{folder.path()};
    Settings settings;
    ReaderSession session{link, settings, store};
    RecordingControls controls;
    ReaderOperations operations{session, controls};

    // The wire as FakeDevice::wire() gives it, each line with "@t": ms since the first event,
    // a request at the time its first byte was written.
    std::vector<std::string> timeline() const
    {
        std::vector<std::string> lines;
        if (device.events.empty())
            return lines;
        const uint32_t origin = device.events.front().timeMs;
        bool inFrame = false;
        uint32_t frameStart = 0;
        std::vector<uint8_t> frame;
        auto stamp = [origin](uint32_t t) { return " @" + std::to_string(t - origin); };
        for (const DeviceEvent& event : device.events) {
            switch (event.kind) {
            case DeviceEvent::open: lines.push_back("open " + event.path + " " + event.lineDefinition + stamp(event.timeMs)); break;
            case DeviceEvent::openFailed: lines.push_back("open-failed " + event.path + stamp(event.timeMs)); break;
            case DeviceEvent::close: lines.push_back("close" + stamp(event.timeMs)); break;
            case DeviceEvent::write:
                if (!inFrame)
                    frameStart = event.timeMs;
                inFrame = true;
                frame.insert(frame.end(), event.bytes.begin(), event.bytes.end());
                if (event.bytes.size() == 1 && event.bytes[0] == CR) {
                    if (frame.size() >= 7 && frame.front() == SOH)
                        lines.push_back("send " + std::string(frame.begin() + 1, frame.end() - 6) + stamp(frameStart));
                    frame.clear();
                    inFrame = false;
                }
                break;
            }
        }
        return lines;
    }

    // The store file as text; empty when it does not exist.
    std::string storeText() const
    {
        std::ifstream in(store.filePath(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    LinkSettings storedLinkSettings() const
    {
        Settings loaded;
        store.loadSettings(loaded);
        return loaded.link;
    }
};

} // namespace tempik::testing
