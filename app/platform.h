#pragma once
// The one place where the platform's services are put together: the serial device, the clock,
// the port map and the settings store of the configuration folder. The window, tempikctl and
// the benchmarks run on it; each service's implementation is chosen by the build.
#include "link/clock.h"
#include "link/port_map.h"
#include "link/serial_device.h"
#include "settings/settings_store.h"

#include <memory>
#include <string>

namespace tempik {

struct PlatformServices {
    explicit PlatformServices(std::string folder = configurationFolder());
    PlatformServices(const PlatformServices&) = delete;
    PlatformServices& operator=(const PlatformServices&) = delete;

    std::string configFolder;
    std::unique_ptr<SerialDevice> device;
    SystemClock clock;
    std::unique_ptr<PortMap> ports;
    std::unique_ptr<SettingsStore> store;
};

} // namespace tempik
