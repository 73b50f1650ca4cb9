#include "sim/fault_options.h"

#include "link/frame.h"

namespace tempik::sim {

std::vector<uint8_t> noiseBytes(unsigned count)
{
    // A byte that raw mode must pass untouched comes first; then a fixed pseudo-random run.
    static const uint8_t leading[] = {0x11, 0x13, 0x01, 0x02, 0x00, 0xFF, 0x7F};
    std::vector<uint8_t> out;
    uint32_t seed = 0x2F6B1D3Bu;
    for (unsigned i = 0; i < count; ++i) {
        uint8_t b;
        if (i < sizeof leading) {
            b = leading[i];
        } else {
            do {
                seed = seed * 1103515245u + 12345u;
                b = static_cast<uint8_t>(seed >> 16);
            } while (b == ETX || b == EOT || b == CR);
        }
        out.push_back(b);
    }
    return out;
}

} // namespace tempik::sim
