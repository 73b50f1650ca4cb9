#pragma once
// A serial device and clock for the fuzz targets, free of any test framework: the tests' fake
// clock, and a device that plays the fuzzer's bytes one per read, with scripted silences in
// between, and counts what it gave.
#include "link/clock.h"
#include "link/port_map.h"
#include "link/serial_device.h"
#include "tests/support/fake_clock.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tempik::fuzz {

// Sleeps and spins move time on at once; nothing really waits.
using StepClock = testing::FakeClock;

// Plays bytes[0..size) one per read. Before every gapEvery-th byte (0: never) it stays silent
// for gapReads reads; after the last byte it is silent, or gone when goneAtEnd. A silent or
// gone read costs the 1 ms read time-out of the real device.
class ByteStreamDevice final : public SerialDevice {
public:
    ByteStreamDevice(StepClock& clock, const uint8_t* bytes, size_t size)
        : clock_(clock), bytes_(bytes), size_(size)
    {
    }

    size_t gapEvery = 0;
    unsigned gapReads = 0;
    bool goneAtEnd = false;

    bool open(const std::string&, const std::string&) override { return true; }
    void close() override {}
    void write(const uint8_t*, size_t count) override { written_ += count; }
    // The stream is the reply under test: it arrives after the request, so nothing is dropped.
    void discardInput() override {}

    ReadOutcome readByte(uint8_t& value) override
    {
        if (next_ < size_ && gapEvery != 0 && (next_ + 1) % gapEvery == 0 && silentSoFar_ < gapReads) {
            ++silentSoFar_;
            clock_.advance(1);
            return ReadOutcome::none;
        }
        if (next_ >= size_) {
            clock_.advance(1);
            return goneAtEnd ? ReadOutcome::gone : ReadOutcome::none;
        }
        silentSoFar_ = 0;
        value = bytes_[next_++];
        return ReadOutcome::byte;
    }

    DeviceFailure failure() const override { return DeviceFailure::none; }

    size_t delivered() const { return next_; }
    const uint8_t* bytes() const { return bytes_; }
    size_t written() const { return written_; }

private:
    StepClock& clock_;
    const uint8_t* bytes_;
    size_t size_;
    size_t next_ = 0;
    unsigned silentSoFar_ = 0;
    size_t written_ = 0;
};

class OnePortMap final : public PortMap {
public:
    std::optional<std::string> devicePath(int) const override { return std::string("fuzz"); }
};

} // namespace tempik::fuzz
