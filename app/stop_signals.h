#pragma once
// The signals that ask a program to end (SIGINT, SIGTERM, SIGHUP): the handler only records the
// request (link/stop_request.h), which makes the operation under way unwind and close its port,
// and wakes the window's event loop. The program then ends as the signal would have ended it.
namespace tempik {

// Installs the handlers. Returns a descriptor that becomes readable once a stop is requested
// (for an event loop to watch), or -1 where there is none.
int catchStopSignals();

// After a stop was requested and the program has closed what it holds: ends the process the way
// the signal would have. Returns when no stop was requested.
void endByStopSignal();

} // namespace tempik
