#include "app/ctl/ctl_controls.h"

#include "reader/operations.h"

#include <algorithm>

namespace tempik::ctl {

void CtlControls::setIdPosition(int position)
{
    position = std::clamp(position, 1, 9999);
    if (position == idPosition)
        return;
    idPosition = position;
    idCaption = ReaderOperations::sbIDChange(position);
}

} // namespace tempik::ctl
