#include "sim/picture.h"

namespace tempik::sim {

void Picture::applyBlock(int n, const std::array<uint8_t, blockBytes>& bytes)
{
    for (int band = 0; band < 2; ++band)
        for (int c = 0; c < 16; ++c) {
            const uint8_t strip = bytes[static_cast<size_t>(16 * band + c)];
            for (int k = 0; k < 8; ++k)
                setPixel(16 * n + c, 8 * band + k, (strip >> k) & 1u);
        }
}

std::vector<std::string> Picture::rows() const
{
    std::vector<std::string> out;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += pixel(x, y) ? '#' : '.';
        out.push_back(row);
    }
    return out;
}

} // namespace tempik::sim
