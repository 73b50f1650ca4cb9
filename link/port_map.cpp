#include "link/port_map.h"

namespace tempik {

std::string portName(int portNumber)
{
    return "COM" + std::to_string(portNumber);
}

} // namespace tempik
