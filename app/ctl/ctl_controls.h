#pragma once
// The command line's stand-in for the window: the controls hold the values given on the command
// line, and what the operations show is kept for the final report. A terminal has no tone to
// wait for; the outcome is in the message and the exit code.
#include "reader/value_controls.h"

namespace tempik::ctl {

using CtlControls = ValueControls;

} // namespace tempik::ctl
