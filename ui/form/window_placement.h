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

// The largest scale, at most preferred and in quarter steps down to 1, at which a client area
// of clientWidth x clientHeight (unscaled) inside a frame that adds frameExtraWidth and
// frameExtraHeight fits the available area; 1 when not even that fits.
double scaleThatFits(const ScreenArea& available, int clientWidth, int clientHeight, int frameExtraWidth,
                     int frameExtraHeight, double preferred);

} // namespace tempik
