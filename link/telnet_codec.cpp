#include "link/telnet_codec.h"

namespace tempik {

using namespace telnet;

namespace {

bool weAccept(uint8_t option, bool ourSide)
{
    // Echo is refused: the server would send our own requests back as if the reader had.
    return option == BINARY || option == SGA || (ourSide && option == COM_PORT);
}

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

} // namespace

std::vector<uint8_t> TelnetCodec::opening()
{
    ours_ = {BINARY, COM_PORT};
    theirs_ = {BINARY};
    return {IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, COM_PORT};
}

void TelnetCodec::encode(const uint8_t* data, size_t count, std::vector<uint8_t>& out) const
{
    for (size_t i = 0; i < count; ++i) {
        out.push_back(data[i]);
        if (data[i] == IAC)
            out.push_back(IAC);
    }
}

std::vector<uint8_t> TelnetCodec::command(uint8_t code, const std::vector<uint8_t>& value)
{
    awaited_.insert(code);
    std::vector<uint8_t> out{IAC, SB, COM_PORT, code};
    encode(value.data(), value.size(), out);
    out.insert(out.end(), {IAC, SE});
    return out;
}

std::vector<uint8_t> TelnetCodec::lineCommands(const LineDefinition& line)
{
    std::vector<uint8_t> baud;
    appendBigEndian(baud, line.speed);
    // The option's codes: NONE 1, ODD 2, EVEN 3, MARK 4, SPACE 5; stop size 1, 2, and 1.5 as 3.
    const uint8_t parity = line.parity == 'o' ? 2 : line.parity == 'e' ? 3 : line.parity == 'm' ? 4 : line.parity == 's' ? 5 : 1;
    const uint8_t stopSize = line.oneAndHalfStopBits ? 3 : static_cast<uint8_t>(line.stopBits);
    std::vector<uint8_t> out = command(SET_BAUDRATE, baud);
    for (const auto& part : {command(SET_DATASIZE, {static_cast<uint8_t>(line.dataBits)}),
                             command(SET_PARITY, {parity}),
                             command(SET_STOPSIZE, {stopSize})})
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::vector<uint8_t> TelnetCodec::purgeCommand()
{
    return command(PURGE_DATA, {PURGE_BOTH});
}

void TelnetCodec::negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& answers)
{
    const bool aboutUs = verb == DO || verb == DONT;
    const bool enable = verb == DO || verb == WILL;
    std::set<uint8_t>& agreed = aboutUs ? ours_ : theirs_;
    if (option == COM_PORT && aboutUs)
        comPort_ = enable ? ComPort::accepted : ComPort::refused;
    const bool isOn = agreed.count(option) != 0;
    uint8_t answer = 0;
    if (enable && !isOn) {
        const bool accept = weAccept(option, aboutUs);
        if (accept)
            agreed.insert(option);
        answer = aboutUs ? (accept ? WILL : WONT) : (accept ? DO : DONT);
    } else if (!enable && isOn) {
        agreed.erase(option);
        answer = aboutUs ? WONT : DONT;
    }
    if (answer != 0)
        answers.insert(answers.end(), {IAC, answer, option});
}

void TelnetCodec::subnegotiationEnded()
{
    // Server notifications (line and modem state, flow control) are consumed; a reply to one
    // of our commands is ticked off.
    if (sub_.size() >= 2 && sub_[0] == COM_PORT && sub_[1] >= serverReply) {
        const auto it = awaited_.find(static_cast<uint8_t>(sub_[1] - serverReply));
        if (it != awaited_.end())
            awaited_.erase(it);
    }
    sub_.clear();
}

void TelnetCodec::decode(const uint8_t* in, size_t count, std::vector<uint8_t>& data, std::vector<uint8_t>& answers)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = in[i];
        switch (state_) {
        case State::data:
            if (b == IAC)
                state_ = State::iac;
            else if (awaited_.count(PURGE_DATA) == 0)
                data.push_back(b);
            break;
        case State::iac:
            if (b == IAC) {
                if (awaited_.count(PURGE_DATA) == 0)
                    data.push_back(b);
                state_ = State::data;
            } else if (b >= WILL && b <= DONT) {
                verb_ = b;
                state_ = State::option;
            } else if (b == SB) {
                sub_.clear();
                state_ = State::subnegotiation;
            } else {
                state_ = State::data;   // a two-byte command (NOP, break, ...): nothing to do
            }
            break;
        case State::option:
            negotiate(verb_, b, answers);
            state_ = State::data;
            break;
        case State::subnegotiation:
            if (b == IAC)
                state_ = State::subIac;
            else if (sub_.size() < 64)
                sub_.push_back(b);
            break;
        case State::subIac:
            if (b == SE) {
                subnegotiationEnded();
                state_ = State::data;
            } else {
                if (b == IAC && sub_.size() < 64)
                    sub_.push_back(b);
                state_ = State::subnegotiation;
            }
            break;
        }
    }
}

} // namespace tempik
