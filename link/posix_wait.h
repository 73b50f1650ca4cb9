#pragma once
// Waits against the monotonic clock for the POSIX channels (the serial device, the socket).
#include <cstdint>

namespace tempik::posixWait {

// Waits for events on fd until the monotonic deadline; a signal shortens the wait only when it
// asked the program to stop. Returns the revents, 0 on time-out.
short pollUntil(int fd, short events, int64_t deadlineNs);

// Sleeps to the monotonic deadline, whatever signal comes.
void sleepUntil(int64_t deadlineNs);

} // namespace tempik::posixWait
