#include "app/ctl/ctl_help.h"

namespace tempik::ctl {

const char* portsHelpText()
{
    return "Ports: COM<n> is the entry ports/COM<n> of the configuration folder\n"
           "($XDG_CONFIG_HOME/KESTO or ~/.config/KESTO) when that folder exists; otherwise the\n"
           "machine's serial devices numbered from 1: ttyS* with a UART, then ttyUSB*, then ttyACM*.\n"
           "A ports/COM<n> file (not a link) whose first line is a URL as for --port names a network port.\n";
}

} // namespace tempik::ctl
