#pragma once
// Where the window opens: centred on the screen's available area (without task bars), but never
// with its frame's top left corner, the title bar, outside it, however small the area.

namespace tempik {

struct ScreenArea {
    int left, top, width, height;
};

struct ScreenPoint {
    int x, y;
    bool operator==(const ScreenPoint& other) const { return x == other.x && y == other.y; }
};

// The frame's top left corner for a frame of the given size.
ScreenPoint placeOnScreen(const ScreenArea& available, int frameWidth, int frameHeight);

} // namespace tempik
