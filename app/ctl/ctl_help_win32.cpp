#include "app/ctl/ctl_help.h"

namespace tempik::ctl {

const char* portsHelpText()
{
    return "Ports: COM<n> is the serial port \\\\.\\COM<n> (COM1 to COM32; 'tempikctl ports' lists\n"
           "them as Device Manager names them), unless the configuration folder %APPDATA%\\KESTO\n"
           "holds ports\\COM<n>-url.txt: its first line, a URL as for --port, makes COM<n> a\n"
           "network port. The settings are kept in HKEY_CURRENT_USER\\Software\\KESTO\\TEMPIKConfig.\n";
}

} // namespace tempik::ctl
