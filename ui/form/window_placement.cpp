#include "ui/form/window_placement.h"

#include <algorithm>

namespace tempik {

ScreenPoint placeOnScreen(const ScreenArea& available, int frameWidth, int frameHeight)
{
    const int centredX = available.left + (available.width - frameWidth) / 2;
    const int centredY = available.top + (available.height - frameHeight) / 2;
    // When the frame is larger than the area, the top left wins: the title bar stays in reach.
    const int x = std::max(available.left, std::min(centredX, available.left + available.width - frameWidth));
    const int y = std::max(available.top, std::min(centredY, available.top + available.height - frameHeight));
    return {x, y};
}

} // namespace tempik
