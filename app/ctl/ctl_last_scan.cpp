#include "app/ctl/ctl_last_scan.h"

#include "settings/config_file.h"
#include "link/system_path.h"

#include <fstream>

namespace tempik::ctl {

namespace {

const char* const fileName = "tempikctl-last-scan";

} // namespace

LastScan readLastScan(const std::string& configFolder)
{
    std::ifstream in(systemPath(configFolder + "/" + fileName));
    std::string word;
    if (!(in >> word))
        return LastScan::unknown;
    return word == "found" ? LastScan::found : word == "not-found" ? LastScan::notFound : LastScan::unknown;
}

bool writeLastScan(const std::string& configFolder, LastScan outcome)
{
    const char* word = outcome == LastScan::found ? "found" : outcome == LastScan::notFound ? "not-found" : "unknown";
    // Written as the settings are: a root run leaves it the user's, and a link planted in its
    // place leads no write where the link's owner could not write.
    return saveConfigFile(configFolder, fileName, [word](const std::string&) { return std::string(word) + "\n"; });
}

LastScan scanOutcome(bool found, bool portsUnopened)
{
    return found ? LastScan::found : portsUnopened ? LastScan::unknown : LastScan::notFound;
}

} // namespace tempik::ctl
