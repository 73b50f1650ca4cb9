#pragma once
// The reader's 128 x 16 title picture, filled block by block: block n holds columns 16n..16n+15,
// bytes 0-15 the upper band (bit k = row k), bytes 16-31 the lower band (bit k = row 8 + k).
#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

namespace tempik::sim {

class Picture {
public:
    static constexpr int width = 128;
    static constexpr int height = 16;
    static constexpr int blockCount = 8;
    static constexpr int blockBytes = 32;

    bool pixel(int x, int y) const { return bits_[index(x, y)]; }
    void setPixel(int x, int y, bool on) { bits_[index(x, y)] = on; }
    void clear() { bits_.reset(); }

    // Writes one block (n in 0..7) of 32 bytes; a set bit is a black pixel.
    void applyBlock(int n, const std::array<uint8_t, blockBytes>& bytes);

    // 16 rows of 128 characters, '#' on and '.' off.
    std::vector<std::string> rows() const;

    bool operator==(const Picture& other) const { return bits_ == other.bits_; }

private:
    static size_t index(int x, int y) { return static_cast<size_t>(y * width + x); }
    std::bitset<width * height> bits_;
};

} // namespace tempik::sim
