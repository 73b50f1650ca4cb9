#pragma once
// The graphic title: 256 bytes read from an icon file at offset 70 (16 rows of 16 bytes, bottom
// row first, a 0 bit is a black pixel), the 128 x 16 picture they make, the preview drawn at
// double size, and the eight 32-byte blocks the reader takes.
#include "reader/feedback.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

namespace tempik {

constexpr int pictureWidth = 128;
constexpr int pictureHeight = 16;
constexpr long iconPixelOffset = 70;
constexpr size_t iconSourceSize = 256;

using IconSource = std::array<uint8_t, iconSourceSize>;

struct TitlePicture {
    std::bitset<pictureWidth * pictureHeight> on;  // index y * 128 + x; set = black
    bool pixel(int x, int y) const { return on[static_cast<size_t>(y * pictureWidth + x)]; }
    void set(int x, int y, bool value) { on[static_cast<size_t>(y * pictureWidth + x)] = value; }
};

// Reads the 256 bytes at offset 70 in byte mode; bytes past the end of the file are 0xFF.
// nullopt when the file cannot be opened or is not a regular file (a folder, a FIFO, a pipe, a
// device): such a path is refused at once, never waited on.
std::optional<IconSource> readIconSource(const std::string& path);

TitlePicture pictureFromSource(const IconSource& source);

// The reader's format: block n holds columns 16n..16n+15, upper band then lower band, each
// byte a vertical strip with its top pixel in bit 0.
std::array<uint8_t, 256> readerPictureBytes(const TitlePicture& picture);

// White rectangle (0,0)-(304,30), then every pixel's 2 x 2 square in the source's own order.
void drawPreview(const IconSource& source, PreviewCanvas& canvas);

} // namespace tempik
