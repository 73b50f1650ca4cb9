#pragma once
// How other programs hold a serial port besides flock: a UUCP lock file (minicom and others),
// and exclusive mode (TIOCEXCL), which binds everyone but root while the program keeps the port
// open. Helpers of serial_posix.cpp.
#include <string>
#include <sys/types.h>

namespace tempik {

// The folder of UUCP lock files on this system.
inline constexpr const char* systemLockFolder = "/var/lock";

// Whether lockFolder holds a lock file for the device behind devicePath (LCK..ttyUSB0 for
// /dev/ttyUSB0, LCK..pts_3 for /dev/pts/3) whose process still runs. A lock file whose process
// has ended is stale and holds nothing; one that names no process is taken as held.
bool uucpLockHeld(const std::string& lockFolder, const std::string& devicePath);

// Whether a process other than this one has the character device rdev open. Only root can look
// at other users' processes; for anyone else the answer covers their own processes.
bool openElsewhere(dev_t rdev);

// A pseudo-terminal slave: its exclusive mode outlives the last close while the master lives.
bool isPseudoTerminalSlave(dev_t rdev);

} // namespace tempik
