#include "ui/window/window_placement.h"

#include <algorithm>

namespace tempik {

QPoint placeOnScreen(const QRect& available, const QSize& frame)
{
    const QPoint centred = available.center() - QRect(QPoint(0, 0), frame).center();
    // When the frame is larger than the area, the top left wins: the title bar stays in reach.
    const int x = std::max(available.left(), std::min(centred.x(), available.right() + 1 - frame.width()));
    const int y = std::max(available.top(), std::min(centred.y(), available.bottom() + 1 - frame.height()));
    return {x, y};
}

} // namespace tempik
