#pragma once
// Telnet with the COM-PORT-OPTION (RFC 2217) as a pure codec: bytes in, bytes out, no sockets.
// Data bytes are IAC-escaped on the way out and unescaped on the way in; the server's option
// requests are answered, its notifications consumed, and the acknowledgements of our own
// commands tracked, so the channel can tell when the purge has landed.
#include "link/line_definition.h"

#include <cstdint>
#include <set>
#include <vector>

namespace tempik {

namespace telnet {
constexpr uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr uint8_t BINARY = 0, ECHO = 1, SGA = 3, COM_PORT = 44;
// Client-to-server COM-PORT-OPTION commands; the server answers each with the code plus 100.
constexpr uint8_t SET_BAUDRATE = 1, SET_DATASIZE = 2, SET_PARITY = 3, SET_STOPSIZE = 4, PURGE_DATA = 12;
constexpr uint8_t serverReply = 100;
constexpr uint8_t PURGE_BOTH = 3;
} // namespace telnet

class TelnetCodec {
public:
    enum class ComPort { asked, accepted, refused };

    // What we offer at connect: binary both ways (a CR must travel alone, not as CR NUL) and
    // the COM-PORT-OPTION.
    std::vector<uint8_t> opening();

    // Data to the server, every 0xFF doubled.
    void encode(const uint8_t* data, size_t count, std::vector<uint8_t>& out) const;

    // Bytes from the server, in any split: data bytes go to data, answers the server must get
    // go to answers. Data that precedes the acknowledgement of an outstanding purge is dropped:
    // it was on its way before the purge and belongs to an earlier session.
    void decode(const uint8_t* in, size_t count, std::vector<uint8_t>& data, std::vector<uint8_t>& answers);

    // SET-BAUDRATE, SET-DATASIZE, SET-PARITY, SET-STOPSIZE from the definition.
    std::vector<uint8_t> lineCommands(const LineDefinition& line);
    // PURGE-DATA of both directions, awaited.
    std::vector<uint8_t> purgeCommand();

    ComPort comPort() const { return comPort_; }
    // The purge has been acknowledged. A server takes the commands in the order sent, so by
    // then it has taken the line commands before it, whose own acknowledgements may lag
    // (ser2net's by some 50 ms) and are consumed whenever they come.
    bool purgeConfirmed() const { return awaited_.count(telnet::PURGE_DATA) == 0; }
    // Gives up on acknowledgements still missing, so later data is no longer held back.
    void stopAwaiting() { awaited_.clear(); }

private:
    enum class State { data, iac, option, subnegotiation, subIac };
    std::vector<uint8_t> command(uint8_t code, const std::vector<uint8_t>& value);
    void negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& answers);
    void subnegotiationEnded();

    State state_ = State::data;
    uint8_t verb_ = 0;
    std::vector<uint8_t> sub_;
    std::multiset<uint8_t> awaited_;
    ComPort comPort_ = ComPort::asked;
    // Options each side has agreed to; an answer is only sent when it changes one (RFC 1143),
    // so the two ends never echo agreements back and forth.
    std::set<uint8_t> ours_, theirs_;
};

} // namespace tempik
