#pragma once
// Reassembles request frames (SOH payload STX four upper-case check digits CR) from the bytes
// as they arrive and checks them with the link's codec. A frame that breaks the format or
// fails its check is dropped without a word, as the reader does.
#include <cstdint>
#include <optional>
#include <string>

namespace tempik::sim {

class RequestParser {
public:
    static constexpr size_t maxPayload = 255;

    // Takes one byte; returns the payload when this byte completes a good request.
    std::optional<std::string> feed(uint8_t byte);

    // Frames dropped so far (bad format or bad check), for the log.
    unsigned long dropped() const { return dropped_; }

private:
    enum class Stage { idle, payload, check, end };
    void drop(uint8_t byte);
    Stage stage_ = Stage::idle;
    std::string payload_;
    std::string check_;
    unsigned long dropped_ = 0;
};

} // namespace tempik::sim
