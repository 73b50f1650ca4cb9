#include "reader/icon_title.h"

#include "link/system_path.h"

#include <cstdio>
#include <memory>
#include <filesystem>
#include <system_error>

namespace tempik {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr int rowBytes = pictureWidth / 8;   // 16 bytes per source row, no fill
constexpr uint8_t offPixels = 0xFF;          // a byte past the end of the file: 8 white pixels

bool sourceBitOn(const IconSource& source, int row, int column, int bit)
{
    // A 0 bit is a black pixel, whatever colours the file's table gives.
    return (source[static_cast<size_t>(row * rowBytes + column)] & (0x80u >> bit)) == 0;
}

} // namespace

std::optional<IconSource> readIconSource(const std::string& path)
{
    // Only a regular file holds a picture at a fixed offset: a folder opens on some systems,
    // a FIFO blocks the open until a writer comes, and a pipe or a device cannot be positioned.
    std::error_code error;
    if (!std::filesystem::is_regular_file(systemPath(path), error))
        return std::nullopt;
    File file(openFile(path, "rb"));
    if (!file)
        return std::nullopt;
    IconSource source;
    source.fill(offPixels);
    if (std::fseek(file.get(), iconPixelOffset, SEEK_SET) != 0)
        return std::nullopt;   // never a blank picture taken for the file's
    for (uint8_t& byte : source) {
        const int value = std::fgetc(file.get());
        byte = value == EOF ? offPixels : static_cast<uint8_t>(value);
    }
    return source;
}

TitlePicture pictureFromSource(const IconSource& source)
{
    TitlePicture picture;
    // The bottom row comes first in the file.
    for (int r = 0; r < pictureHeight; ++r)
        for (int c = 0; c < rowBytes; ++c)
            for (int j = 0; j < 8; ++j)
                picture.set(8 * c + j, pictureHeight - 1 - r, sourceBitOn(source, r, c, j));
    return picture;
}

std::array<uint8_t, 256> readerPictureBytes(const TitlePicture& picture)
{
    std::array<uint8_t, 256> bytes{};
    for (int n = 0; n < 8; ++n)
        for (int band = 0; band < 2; ++band)
            for (int c = 0; c < 16; ++c) {
                uint8_t strip = 0;
                for (int k = 0; k < 8; ++k)
                    if (picture.pixel(16 * n + c, 8 * band + k))
                        strip = static_cast<uint8_t>(strip | (1u << k));
                bytes[static_cast<size_t>(32 * n + 16 * band + c)] = strip;
            }
    return bytes;
}

void drawPreview(const IconSource& source, PreviewCanvas& canvas)
{
    canvas.setPenBlack(false);
    canvas.rectangle(0, 0, 304, 30);
    for (int r = 0; r < pictureHeight; ++r)
        for (int c = 0; c < rowBytes; ++c)
            for (int j = 0; j < 8; ++j) {
                const int x = 8 * c + j;
                const int y = pictureHeight - 1 - r;
                canvas.setPenBlack(sourceBitOn(source, r, c, j));
                canvas.rectangle(2 * x, 2 * y, 2 * x + 2, 2 * y + 2);
            }
}

} // namespace tempik
