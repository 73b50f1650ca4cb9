#pragma once
// Bits per second to termios speed constants (B19200 ...) and back, for the POSIX serial
// device, the simulated reader and the tests' pseudo-terminals.
#include <termios.h>

namespace tempik {

// B0 when the speed has no constant.
speed_t termiosSpeed(unsigned bitsPerSecond);
// 0 when the constant is not a known speed.
unsigned termiosBitsPerSecond(speed_t speed);

} // namespace tempik
