#include "link/system_path.h"

namespace tempik {

std::filesystem::path systemPath(const std::string& utf8)
{
    return std::filesystem::path(utf8);
}

std::string utf8Name(const std::filesystem::path& path)
{
    return path.string();
}

std::FILE* openFile(const std::string& utf8, const char* mode)
{
    return std::fopen(utf8.c_str(), mode);
}

} // namespace tempik
