#include "app/platform.h"

namespace tempik {

PlatformServices::PlatformServices(std::string folder)
    : configFolder(std::move(folder)),
      device(makeSystemSerialDevice()),
      ports(makeSystemPortMap(configFolder)),
      store(makeSystemSettingsStore(configFolder))
{
}

} // namespace tempik
