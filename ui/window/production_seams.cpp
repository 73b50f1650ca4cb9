#include "ui/window/production_seams.h"

namespace tempik {

ProductionSeams::ProductionSeams(std::string configFolder)
    : configFolder_(std::move(configFolder)), ports_(configFolder_)
{
}

WindowSeams ProductionSeams::seams()
{
    return WindowSeams{device_, clock_, ports_, tone_, iconFiles_, configFolder_};
}

} // namespace tempik
