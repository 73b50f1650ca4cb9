#include "app/platform.h"

#include "link/port_device.h"

namespace tempik {

PlatformServices::PlatformServices(std::string folder)
    : configFolder(std::move(folder)),
      device(makePortDevice()),
      ports(makeSystemPortMap(configFolder)),
      store(makeSystemSettingsStore(configFolder))
{
}

} // namespace tempik
