#pragma once
// tempikctl writes UTF-8. A Windows console shows it only when it is handed UTF-16
// (ctl_console_win32.cpp); pipes, files and terminals elsewhere take the UTF-8 as it is.
namespace tempik::ctl {

// For the rest of the run: standard output and error that are consoles are written as UTF-16.
void useConsoleOutput();

} // namespace tempik::ctl
