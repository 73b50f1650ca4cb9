#include "ui/form/window_placement.h"

#include <algorithm>
#include <cmath>

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

double scaleThatFits(const ScreenArea& available, int clientWidth, int clientHeight, int frameExtraWidth,
                     int frameExtraHeight, double preferred)
{
    const auto fits = [&](double scale) {
        return clientWidth * scale + frameExtraWidth <= available.width
               && clientHeight * scale + frameExtraHeight <= available.height;
    };
    // Quarter steps below the preferred scale, the preferred one itself first.
    for (double scale = preferred; scale > 1.0; scale = std::ceil(scale * 4.0 - 1.0) / 4.0) {
        if (fits(scale))
            return scale;
    }
    return 1.0;
}

} // namespace tempik
