#pragma once
// The command line's stand-in for the window: the controls hold the values given on the command
// line, and what the operations show is kept for the final report. A terminal has no tone to
// wait for; the outcome is in the message and the exit code.
#include "reader/value_controls.h"

namespace tempik::ctl {

class CtlControls final : public ValueControls {
public:
    void setSerialText(const std::string& text) override
    {
        ValueControls::setSerialText(text);
        ++serialWrites_;
    }
    // The scan writes the serial number panel once to reset it, and once more only when a reader
    // answered its status query (even if its version then could not be read).
    bool readerAnswered() const { return serialWrites_ > 1; }

private:
    int serialWrites_ = 0;
};

} // namespace tempik::ctl
