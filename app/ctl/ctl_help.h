#pragma once
// The paragraph of tempikctl --help that says where ports and settings are: the platform's own
// names and folders (ctl_help_linux.cpp, ctl_help_win32.cpp).
namespace tempik::ctl {

const char* portsHelpText();

} // namespace tempik::ctl
