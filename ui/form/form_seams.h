#pragma once
// The platform services the form runs on; the program puts the production ones together, the
// tests their fakes.
#include "link/clock.h"
#include "link/port_map.h"
#include "link/serial_device.h"
#include "settings/settings_store.h"
#include "ui/form/tone.h"

namespace tempik {

struct FormSeams {
    SerialDevice& device;
    Clock& clock;
    const PortMap& ports;
    const SettingsStore& store;
    Tone& tone;
};

} // namespace tempik
