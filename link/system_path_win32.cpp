#include "link/system_path.h"
#include "link/wide_text.h"

#include <windows.h>

namespace tempik {

std::wstring wideFromUtf8(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string utf8FromWide(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::filesystem::path systemPath(const std::string& utf8)
{
    return std::filesystem::path(wideFromUtf8(utf8));
}

std::string utf8Name(const std::filesystem::path& path)
{
    return utf8FromWide(path.native());
}

std::FILE* openFile(const std::string& utf8, const char* mode)
{
    return _wfopen(wideFromUtf8(utf8).c_str(), wideFromUtf8(mode).c_str());
}

} // namespace tempik
