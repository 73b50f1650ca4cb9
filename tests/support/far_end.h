#pragma once
// A scripted reader on the master side of a pseudo-terminal, run in a thread of the test: it
// reads request frames, answers each as its script says, and closes the master at an exact
// point (after a reply, or after so many bytes) so the device vanishes under the program.
#include "tests/support/pty.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tempik::testing {

class FarEnd {
public:
    struct Answer {
        std::vector<uint8_t> reply;   // written to the master; empty: silence
        // Then the master is closed. The hang-up discards what the slave has not read yet, so
        // a reply followed at once by a vanish never arrives: to vanish after a reply was taken,
        // count bytes up to the first one of the next request instead.
        bool vanish = false;
    };
    // Called for each whole request frame with its payload and its number in this far end (0 first).
    using Script = std::function<Answer(const std::string& payload, int index)>;
    // The script of a reader that answers everything (readerReply) and never vanishes.
    static Answer answering(const std::string& payload, int index);

    // vanishAfterBytes > 0: the master is closed as soon as that many bytes have arrived in all,
    // wherever that falls in a frame.
    FarEnd(PseudoTerminal& pty, Script script, size_t vanishAfterBytes = 0);
    ~FarEnd();
    FarEnd(const FarEnd&) = delete;
    FarEnd& operator=(const FarEnd&) = delete;

    std::vector<std::string> payloads() const;
    size_t bytesReceived() const { return received_; }
    bool vanished() const { return vanished_; }

private:
    void run();
    bool take(uint8_t byte);   // false once the far end has vanished

    PseudoTerminal& pty_;
    Script script_;
    size_t vanishAfterBytes_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> vanished_{false};
    std::atomic<size_t> received_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> payloads_;
    std::string frame_;
    bool inFrame_ = false;
    int checkBytesLeft_ = -1;   // after STX: four check characters and CR
    std::thread thread_;
};

} // namespace tempik::testing
