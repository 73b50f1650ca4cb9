#include "tests/support/recording_controls.h"


namespace tempik::testing {

void RecordingCanvas::rectangle(int left, int top, int right, int bottom)
{
    ++rectangles;
    const char ink = penBlack_ ? '#' : '.';
    auto plot = [&](int x, int y) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            pixels[static_cast<size_t>(y * width + x)] = ink;
    };
    // Outline only, right and bottom edges excluded; the inside keeps the white fill.
    for (int x = left; x < right; ++x) {
        plot(x, top);
        plot(x, bottom - 1);
    }
    for (int y = top; y < bottom; ++y) {
        plot(left, y);
        plot(right - 1, y);
    }
    for (int y = top + 1; y < bottom - 1; ++y)
        for (int x = left + 1; x < right - 1; ++x)
            if (x >= 0 && x < width && y >= 0 && y < height)
                pixels[static_cast<size_t>(y * width + x)] = '.';
}

std::vector<std::string> RecordingControls::shown() const
{
    std::vector<std::string> lines;
    for (const std::string& call : calls)
        if (call.rfind("cursor", 0) != 0 && call != "enable" && call != "disable")
            lines.push_back(call);
    return lines;
}

} // namespace tempik::testing
