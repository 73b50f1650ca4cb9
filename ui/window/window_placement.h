#pragma once
// Where the window opens: centred on the screen's available area (without task bars), but never
// with its frame's top left corner, the title bar, outside it, however small the area.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace tempik {

// The frame's top left corner for a frame of the given size.
QPoint placeOnScreen(const QRect& available, const QSize& frame);

} // namespace tempik
