#include "app/stop_signals.h"

#include "link/stop_request.h"

#include <csignal>
#include <cstdlib>
#include <windows.h>

namespace tempik {

namespace {

// Set once the program has closed what it holds after a stop: a console that is being closed
// ends the process as soon as the handler returns.
HANDLE portsClosed = nullptr;

// How long Windows lets a handler of a closing console run (5 s), with room to spare.
constexpr DWORD closeWaitMs = 4500;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    requestStop(interrupt ? SIGINT : SIGTERM);
    // Ctrl-C only asks; the console going away (window closed, log-off, shutdown) ends the
    // process when this returns, so the operation must have closed the port by then.
    if (!interrupt && portsClosed)
        WaitForSingleObject(portsClosed, closeWaitMs);
    return TRUE;
}

} // namespace

int catchStopSignals()
{
    portsClosed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    return -1;
}

void endByStopSignal()
{
    if (stopSignal() <= 0)
        return;
    if (portsClosed)
        SetEvent(portsClosed);
    // The status of a console program that Ctrl-C or a closed console ended.
    std::exit(static_cast<int>(STATUS_CONTROL_C_EXIT));
}

} // namespace tempik
