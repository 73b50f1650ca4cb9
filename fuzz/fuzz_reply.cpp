// Reply reception: the fuzzer's bytes arrive at ReaderLink::sendCommand as the answer to a
// status query, with silences between them, for up to two exchanges in a row.
//
// Input: byte 0 = flags (bit 7: the device is gone after the last byte; bit 6: the clock starts
// just before its 32-bit wrap; bit 5: the four bytes after each EOT are made the right check of
// the bytes from the ETX before it, so that replies of any content pass), byte 1 = a silence every that many bytes (0: none), byte 2 =
// the silence's length in 1 ms reads; the rest is what the device delivers.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_device.h"
#include "link/frame.h"
#include "link/reader_link.h"

#include <cstring>
#include <string>
#include <vector>

using namespace tempik;

namespace {

// What a good reply is, said plainly: the stored frame opens with ETX and ends with CR, its
// first EOT has at least four data bytes before it, and the four bytes after that EOT, still
// inside the frame before its CR, are the upper-case check of ETX through EOT.
bool wellFormedReply(const uint8_t* frame, size_t length)
{
    if (length < 11 || frame[0] != ETX || frame[length - 1] != CR)
        return false;
    const void* eotAt = std::memchr(frame, EOT, length);
    if (eotAt == nullptr)
        return false;
    const size_t eot = static_cast<size_t>(static_cast<const uint8_t*>(eotAt) - frame);
    if (eot < 5 || eot + 4 > length - 2)
        return false;
    const std::string text = checkDigits(frame, eot + 1);
    return std::memcmp(frame + eot + 1, text.data(), 4) == 0;
}

// Writes over the four bytes after every EOT the check of the bytes from the last ETX to it.
void giveChecks(std::vector<uint8_t>& stream)
{
    size_t etx = stream.size();
    for (size_t i = 0; i < stream.size(); ++i) {
        if (stream[i] == ETX)
            etx = i;
        if (stream[i] != EOT || etx == stream.size() || i + 4 >= stream.size())
            continue;
        const std::string text = checkDigits(stream.data() + etx, i + 1 - etx);
        std::memcpy(stream.data() + i + 1, text.data(), 4);
        i += 4;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const uint8_t flags = data[0];
    fuzz::StepClock clock((flags & 0x40) ? 0xFFFFFFC0u : 1000u);
    std::vector<uint8_t> stream(data + 3, data + size);
    if (flags & 0x20)
        giveChecks(stream);
    fuzz::ByteStreamDevice device(clock, stream.data(), stream.size());
    device.gapEvery = data[1];
    device.gapReads = data[2];
    device.goneAtEnd = (flags & 0x80) != 0;
    fuzz::OnePortMap ports;
    ReaderLink link(device, clock, ports);
    FUZZ_CHECK(link.openChannel(1, "19200,e,8,1"));

    std::vector<uint8_t> observed;
    link.setFrameObserver([&](ReaderLink::Direction direction, const std::vector<uint8_t>& bytes) {
        if (direction == ReaderLink::Direction::received)
            observed = bytes;
    });

    for (int exchange = 0; exchange < 2; ++exchange) {
        const size_t before = device.delivered();
        const std::string textBefore = link.replyText();
        observed.clear();

        const size_t written = device.written();
        const uint32_t startMs = clock.nowMs();
        const bool good = link.sendCommand("0000AS", true);
        // 24 ms of write pauses, then at most the 120 ms wait and the read that passed it.
        FUZZ_CHECK(static_cast<uint32_t>(clock.nowMs() - startMs) <= 24 + ReaderLink::replyDeadlineMs + 1);
        const size_t taken = device.delivered() - before;
        const uint8_t* takenBytes = device.bytes() + before;
        const size_t length = link.replyLength();
        const uint8_t* buffer = link.ReplyBuffer().data();

        // The fill count stays inside the buffer and counts the last bytes taken from the line.
        FUZZ_CHECK(length < ReaderLink::replyBufferSize);
        FUZZ_CHECK(length <= taken);
        FUZZ_CHECK(length == 0 || std::memcmp(buffer, takenBytes + (taken - length), length) == 0);
        // The observer saw exactly what the exchange took.
        FUZZ_CHECK(observed.size() == taken);
        FUZZ_CHECK(taken == 0 || std::memcmp(observed.data(), takenBytes, taken) == 0);
        // The request went out whole: SOH, six payload bytes, STX, four check digits, CR.
        FUZZ_CHECK(device.written() - written == 13);

        if (good) {
            // Accepted only as a whole frame that passes the check, ending with the last byte
            // taken: nothing was read past the reply's CR.
            FUZZ_CHECK(wellFormedReply(buffer, length));
            FUZZ_CHECK(length == 0 || takenBytes[taken - 1] == CR);
            const std::string text(reinterpret_cast<const char*>(buffer),
                                   strnlen(reinterpret_cast<const char*>(buffer), length));
            FUZZ_CHECK(link.replyText() == text);
        } else {
            // Either untouched, or the frame that the marker rule let through to the check.
            const std::string text(reinterpret_cast<const char*>(buffer),
                                   strnlen(reinterpret_cast<const char*>(buffer), length));
            FUZZ_CHECK(link.replyText() == textBefore || link.replyText() == text);
        }
        if (device.delivered() >= stream.size())
            break;
    }
    link.closeChannel();
    return 0;
}
