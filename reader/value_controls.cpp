#include "reader/value_controls.h"

#include "reader/operations.h"

#include <algorithm>

namespace tempik {

void ValueControls::setIdPosition(int position)
{
    position = std::clamp(position, controlValues::sbID.minimum, controlValues::sbID.maximum);
    if (position == idPosition)
        return;
    idPosition = position;
    idCaption = ReaderOperations::sbIDChange(position);
}

} // namespace tempik
