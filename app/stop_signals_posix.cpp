#include "app/stop_signals.h"

#include "link/stop_request.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace tempik {

namespace {

int wakeWrite = -1;

void onStopSignal(int signal)
{
    const int saved = errno;
    requestStop(signal);
    const char byte = 1;
    if (wakeWrite >= 0)
        (void)!::write(wakeWrite, &byte, 1);
    errno = saved;
}

} // namespace

int catchStopSignals()
{
    int wake[2] = {-1, -1};
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0)
        wakeWrite = wake[1];
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait the signal interrupts returns, and sees the request.
    action.sa_flags = 0;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    return wake[0];
}

void endByStopSignal()
{
    const int signal = stopSignal();
    if (signal <= 0)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    raise(signal);
    _exit(128 + signal);
}

} // namespace tempik
