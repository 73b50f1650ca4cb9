#include "app/stop_signals.h"

#include "link/stop_request.h"

#include <csignal>
#include <cstdlib>
#include <windows.h>

namespace tempik {

namespace {

// Ctrl-C, Ctrl-Break or the console going away: let the operation unwind and close the port.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    requestStop(event == CTRL_C_EVENT ? SIGINT : SIGTERM);
    return TRUE;
}

} // namespace

int catchStopSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    return -1;
}

void endByStopSignal()
{
    const int signal = stopSignal();
    if (signal > 0)
        std::exit(128 + signal);
}

} // namespace tempik
