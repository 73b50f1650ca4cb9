#include "app/ctl/ctl_console.h"

namespace tempik::ctl {

void useConsoleOutput() {}

} // namespace tempik::ctl
