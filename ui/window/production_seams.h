#pragma once
// The real platform services of the window: termios serial ports, the system clock, the
// Linux port numbering, the ALSA tone and the file dialog.
#include "link/clock.h"
#include "link/port_map.h"
#include "link/serial_posix.h"
#include "ui/window/frm_module.h"
#include "ui/window/icon_file_chooser.h"
#include "ui/window/tone.h"

#include <string>

namespace tempik {

class ProductionSeams {
public:
    explicit ProductionSeams(std::string configFolder);
    ProductionSeams(const ProductionSeams&) = delete;
    ProductionSeams& operator=(const ProductionSeams&) = delete;

    WindowSeams seams();

private:
    std::string configFolder_;
    PosixSerialDevice device_;
    SystemClock clock_;
    LinuxPortMap ports_;
    AlsaTone tone_;
    DialogIconFileChooser iconFiles_;
};

} // namespace tempik
