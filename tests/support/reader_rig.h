#pragma once
// Everything a reader operation runs on, faked: clock, serial device, port map and recording
// window, with the real link, session and a settings store in a temporary folder. Also scripted
// replies, the wire of a scan and a timeline of the wire. Header-only; the test program links
// tempik_reader.
#include "link/frame.h"
#include "link/reader_link.h"
#include "reader/operations.h"
#include "reader/session.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_device.h"
#include "tests/support/files.h"
#include "tests/support/recording_controls.h"
#include "settings/settings_file_store.h"

#include <deque>
#include <map>
#include <memory>
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

// open, the status queries, close: one port and definition of the sweep.
inline void appendTry(std::vector<std::string>& wire, int port, const std::string& line, int queries)
{
    wire.push_back("open COM" + std::to_string(port) + " " + line);
    for (int i = 0; i < queries; ++i)
        wire.push_back("send 0000AS");
    wire.push_back("close");
}

// open, the version query, close: the end of a scan whose version is read at once.
inline void appendVersionRead(std::vector<std::string>& wire, int port, const std::string& line)
{
    wire.push_back("open COM" + std::to_string(port) + " " + line);
    wire.push_back("send 0000AV");
    wire.push_back("close");
}

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

    // The wire with the time of each line (FakeDevice::wire(true)).
    std::vector<std::string> timeline() const { return device.wire(true); }

    // A reader was found on COM3 at 9600,e,8,1.
    void readerReady()
    {
        session.readerFound = true;
        settings.link = {3, "9600,e,8,1", 3};
    }

    // The store file as text; empty when it does not exist.
    std::string storeText() const { return fileText(store.filePath()); }

    LinkSettings storedLinkSettings() const
    {
        Settings loaded;
        store.loadSettings(loaded);
        return loaded.link;
    }
};

} // namespace tempik::testing
