#include "app/ctl/ctl_last_scan.h"

#include "link/system_path.h"

#include <filesystem>
#include <fstream>

namespace tempik::ctl {

namespace {

const char* const fileName = "tempikctl-last-scan";

std::string pathIn(const std::string& folder)
{
    return folder + "/" + fileName;
}

} // namespace

LastScan readLastScan(const std::string& configFolder)
{
    std::ifstream in(systemPath(pathIn(configFolder)));
    std::string word;
    if (!(in >> word))
        return LastScan::unknown;
    return word == "found" ? LastScan::found : word == "not-found" ? LastScan::notFound : LastScan::unknown;
}

bool writeLastScan(const std::string& configFolder, bool found)
{
    std::error_code ignored;
    std::filesystem::create_directories(systemPath(configFolder), ignored);
    std::ofstream out(systemPath(pathIn(configFolder)), std::ios::trunc);
    out << (found ? "found" : "not-found") << "\n";
    out.flush();
    return static_cast<bool>(out);
}

} // namespace tempik::ctl
