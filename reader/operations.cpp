#include "reader/operations.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace tempik {

namespace {

std::tm systemLocalTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string processWorkingFolder()
{
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr)
            return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() >= (1u << 20))
            return std::string();   // the dialog then starts where the toolkit chooses
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

ReaderOperations::ReaderOperations(ReaderSession& session, ReaderControls& controls)
    : session_(session), controls_(controls), localTime_(systemLocalTime), workingFolder_(processWorkingFolder)
{
}

std::string ReaderOperations::sbIDChange(int position)
{
    char caption[16];
    std::snprintf(caption, sizeof caption, "%04d", position);
    return caption;
}

} // namespace tempik
