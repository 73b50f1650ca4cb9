#include "reader/value_controls.h"

#include "reader/operations.h"

#include <algorithm>

namespace tempik {

void ValueControls::setIdPosition(int position)
{
    position = std::clamp(position, 1, 9999);
    if (position == idPosition)
        return;
    idPosition = position;
    idCaption = ReaderOperations::sbIDChange(position);
}

} // namespace tempik
