#pragma once
// A request to stop the program (SIGINT, SIGTERM, SIGHUP, or the console's close on Windows),
// set from a signal handler. Once it is set the link opens no port and starts no exchange, and
// an exchange under way ends at its next read, so every operation unwinds at once and closes
// its channel on the way out.
namespace tempik {

// Async-signal-safe: one lock-free store.
void requestStop(int signal) noexcept;
// The signal that asked for the stop, 0 when none did.
int stopSignal() noexcept;
inline bool stopRequested() noexcept { return stopSignal() != 0; }

} // namespace tempik
