#pragma once
// A found reader on the fake device and clock, a recording front end, a settings store in a
// temporary folder, and a scripted reader whose answers the tests choose.
#include "tests/support/named_row.h"
#include "tests/support/reader_rig.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tempik::testing {

// The reader at the far end: answers the status query with the next of its serial numbers (the
// last one repeats), stays silent to a command while silences[prefix] is above zero (counting
// down), and answers everything else, the unawaited texts too, unless textsAnswered is false.
struct ScriptedReader {
    std::vector<std::string> serials = {"12345678"};
    std::map<std::string, int> silences;   // payload prefix -> unanswered presses left
    bool textsAnswered = true;
    int statusQueries = 0;

    std::vector<uint8_t> answer(const std::string& payload)
    {
        for (auto& [prefix, left] : silences)
            if (left > 0 && payload.rfind(prefix, 0) == 0) {
                --left;
                return {};
            }
        if (payload == "0000AS") {
            const size_t index = std::min(static_cast<size_t>(statusQueries++), serials.size() - 1);
            return statusReply("0042", serials[index]);
        }
        const bool text = payload.size() > 7 && (payload.rfind("0000BA1", 0) == 0 || payload.rfind("0000BA3", 0) == 0 ||
                                                 payload.rfind("0000BA4", 0) == 0 || payload.rfind("0000BI", 0) == 0 ||
                                                 payload.rfind("0000BB", 0) == 0);
        if (text && !textsAnswered)
            return {};
        return ackReply();
    }
};

class OperationsTest : public ::testing::Test, protected ReaderRig {
protected:
    OperationsTest()
    {
        settings.link.ScanCommNo = 3;
        session.readerFound = true;
        device.responder = [this](const std::string&, const std::string&, const std::string& payload) {
            return reader.answer(payload);
        };
    }

    // The payloads sent between the open and the close, for checks of content.
    std::vector<std::string> sent() const { return device.requests(); }

    // Start of each request frame (its SOH) in ms after the channel was opened.
    std::vector<uint32_t> frameStarts() const
    {
        std::vector<uint32_t> starts;
        uint32_t openedAt = 0;
        bool inFrame = false;
        for (const DeviceEvent& event : device.events) {
            if (event.kind == DeviceEvent::open)
                openedAt = event.timeMs;
            if (event.kind != DeviceEvent::write)
                continue;
            if (!inFrame && event.bytes.size() == 1 && event.bytes[0] == SOH) {
                starts.push_back(event.timeMs - openedAt);
                inFrame = true;
            }
            if (event.bytes.size() == 1 && event.bytes[0] == CR)
                inFrame = false;
        }
        return starts;
    }

    // Time of the close after the open, in ms.
    uint32_t closedAfter() const
    {
        uint32_t openedAt = 0;
        for (const DeviceEvent& event : device.events) {
            if (event.kind == DeviceEvent::open)
                openedAt = event.timeMs;
            if (event.kind == DeviceEvent::close)
                return event.timeMs - openedAt;
        }
        return 0;
    }

    ScriptedReader reader;
};

// A request frame costs 24 ms on the fake clock: SOH, STX, four check digits and CR at 2 ms
// each, the payload block at 10 ms. An unawaited one then spins 10 ms.
constexpr uint32_t frameMs = 24;
constexpr uint32_t unawaitedSpinMs = 10;

} // namespace tempik::testing
