#include "reader/operations.h"

#include "link/clock.h"
#include "link/system_path.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace tempik {

namespace {

std::string processWorkingFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : utf8Name(folder);  // empty: the dialog starts where the toolkit chooses
}

} // namespace

ReaderOperations::ReaderOperations(ReaderSession& session, ReaderControls& controls)
    : session_(session), controls_(controls), localTime_(localTimeNow), workingFolder_(processWorkingFolder)
{
}

std::string ReaderOperations::sbIDChange(int position)
{
    char caption[16];
    std::snprintf(caption, sizeof caption, "%04d", position);
    return caption;
}

} // namespace tempik
