#include "sim/request_parser.h"

#include "link/frame.h"

namespace tempik::sim {

void RequestParser::drop(uint8_t byte)
{
    ++dropped_;
    payload_.clear();
    check_.clear();
    // A new SOH starts the next frame at once (a sender that gave up mid-frame).
    stage_ = byte == SOH ? Stage::payload : Stage::idle;
}

std::optional<std::string> RequestParser::feed(uint8_t byte)
{
    switch (stage_) {
    case Stage::idle:
        if (byte == SOH) {
            payload_.clear();
            stage_ = Stage::payload;
        }
        return std::nullopt;
    case Stage::payload:
        if (byte == STX) {
            if (payload_.empty())
                drop(byte);
            else
                stage_ = Stage::check;
        } else if (byte == SOH || byte == CR || byte == 0 || payload_.size() >= maxPayload) {
            drop(byte);
        } else {
            payload_ += static_cast<char>(byte);
        }
        return std::nullopt;
    case Stage::check:
        if (byte == SOH || byte == CR) {
            drop(byte);
            return std::nullopt;
        }
        check_ += static_cast<char>(byte);
        if (check_.size() == 4)
            stage_ = Stage::end;
        return std::nullopt;
    case Stage::end: {
        if (byte != CR) {
            drop(byte);
            return std::nullopt;
        }
        const bool good =
            check_ == requestCheckDigits(reinterpret_cast<const uint8_t*>(payload_.data()), payload_.size());
        std::string payload = std::move(payload_);
        payload_.clear();
        check_.clear();
        stage_ = Stage::idle;
        if (!good) {
            ++dropped_;
            return std::nullopt;
        }
        return payload;
    }
    }
    return std::nullopt;
}

} // namespace tempik::sim
