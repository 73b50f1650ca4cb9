// The icon file reader and the picture transform: the fuzzer's bytes are the icon file. The
// 256 bytes from offset 70 (white past the end) become the 128 x 16 picture, its eight reader
// blocks and their payloads, and the double-size preview; each is checked against a plain
// pixel-by-pixel reading of the file.
#include "fuzz/fuzz_check.h"
#include "link/frame.h"
#include "reader/commands.h"
#include "reader/icon_title.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace tempik;

namespace {

std::string iconPath() { return fuzz::scratchFolder("fuzz_icon") + "/title.ico"; }

// Pixel (x, y), y = 0 the top row, is black when its bit in the file is 0. The file holds the
// bottom row first, 16 bytes a row, the leftmost pixel in the high bit.
bool blackInFile(const uint8_t* data, size_t size, int x, int y)
{
    const size_t at = static_cast<size_t>(iconPixelOffset) + static_cast<size_t>((15 - y) * 16 + x / 8);
    const uint8_t byte = at < size ? data[at] : 0xFF;
    return (byte & (0x80 >> (x % 8))) == 0;
}

class CheckingCanvas final : public PreviewCanvas {
public:
    CheckingCanvas(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    void setPenBlack(bool black) override { black_ = black; }
    void rectangle(int left, int top, int right, int bottom) override
    {
        if (count_++ == 0) {
            // The white background first.
            FUZZ_CHECK(!black_ && left == 0 && top == 0 && right == 304 && bottom == 30);
            return;
        }
        // Then one 2 x 2 square per pixel, in the pen the file gives it.
        FUZZ_CHECK(right == left + 2 && bottom == top + 2 && left % 2 == 0 && top % 2 == 0);
        FUZZ_CHECK(left >= 0 && left < 256 && top >= 0 && top < 32);
        FUZZ_CHECK(black_ == blackInFile(data_, size_, left / 2, top / 2));
    }
    int count() const { return count_; }

private:
    const uint8_t* data_;
    size_t size_;
    bool black_ = false;
    int count_ = 0;
};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;   // lower case is not what the reader takes
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = iconPath();
    // A new file each time: rewriting one in place makes some file systems write it out at once.
    std::remove(path.c_str());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);

    const std::optional<IconSource> source = readIconSource(path);
    FUZZ_CHECK(source.has_value());
    for (size_t i = 0; i < iconSourceSize; ++i) {
        const size_t at = static_cast<size_t>(iconPixelOffset) + i;
        FUZZ_CHECK((*source)[i] == (at < size ? data[at] : 0xFF));
    }

    const TitlePicture picture = pictureFromSource(*source);
    for (int y = 0; y < pictureHeight; ++y)
        for (int x = 0; x < pictureWidth; ++x)
            FUZZ_CHECK(picture.pixel(x, y) == blackInFile(data, size, x, y));

    const std::array<uint8_t, 256> bytes = readerPictureBytes(picture);
    for (int n = 0; n < 8; ++n) {
        const std::string payload = payload::pictureBlock(n, bytes.data() + 32 * n);
        // "0000BB", the block digit, 64 upper-case hexadecimal digits: 71 bytes, no framing byte.
        FUZZ_CHECK(payload.size() == 71);
        FUZZ_CHECK(payload.compare(0, 6, "0000BB") == 0);
        FUZZ_CHECK(payload[6] == static_cast<char>('0' + n));
        for (int i = 0; i < 32; ++i) {
            const int high = hexValue(payload[static_cast<size_t>(7 + 2 * i)]);
            const int low = hexValue(payload[static_cast<size_t>(8 + 2 * i)]);
            FUZZ_CHECK(high >= 0 && low >= 0);
            // Byte i of block n: column 16n + i % 16 of the upper (i < 16) or lower band, its top
            // pixel in bit 0.
            const int x = 16 * n + i % 16;
            const int band = i / 16;
            uint8_t expected = 0;
            for (int k = 0; k < 8; ++k)
                if (blackInFile(data, size, x, 8 * band + k))
                    expected = static_cast<uint8_t>(expected | (1 << k));
            FUZZ_CHECK(high * 16 + low == expected);
        }
        // The frame around it carries the same bytes between SOH and STX.
        const std::vector<uint8_t> frame = buildRequestFrame(payload);
        FUZZ_CHECK(frame.size() == 78 && frame.front() == SOH && frame[72] == STX && frame.back() == CR);
    }

    CheckingCanvas canvas(data, size);
    drawPreview(*source, canvas);
    FUZZ_CHECK(canvas.count() == 1 + pictureWidth * pictureHeight);
    return 0;
}
