// Files of the configuration folder on Windows (the settings themselves live in the registry):
// read whole, saved through a temporary file that replaces the old one in one step, while a
// lock file opened without sharing keeps a second save out.
#include "settings/config_file.h"

#include "link/system_path.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tempik {

namespace {

constexpr int lockAttempts = 300;   // 3 s; a save takes milliseconds
constexpr DWORD lockRetryMs = 10;

class LockFile {
public:
    explicit LockFile(const std::filesystem::path& path)
    {
        for (int attempt = 0; attempt < lockAttempts && handle_ == INVALID_HANDLE_VALUE; ++attempt) {
            handle_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            if (handle_ == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION)
                return;
            if (handle_ == INVALID_HANDLE_VALUE)
                Sleep(lockRetryMs);
        }
    }
    ~LockFile()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

} // namespace

std::optional<std::string> readConfigFile(const std::string& name)
{
    // Names are UTF-8; a narrow path would go through the C library's locale instead.
    const std::filesystem::path path = systemPath(name);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) > maximumConfigFileSize
        || error)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || content.size() > maximumConfigFileSize)
        return std::nullopt;
    return content;
}

bool saveConfigFile(const std::string& configFolder, const std::string& fileName, const ConfigFileEdit& edit,
                    const BeforeReplace& beforeReplace)
{
    std::error_code error;
    std::filesystem::create_directories(systemPath(configFolder), error);
    const std::string name = configFolder + "\\" + fileName;
    const std::filesystem::path path = systemPath(name);
    const LockFile lock(systemPath(name + ".lock"));
    if (!lock.held())
        return false;
    std::string content;
    if (std::filesystem::exists(path, error)) {
        const std::optional<std::string> old = readConfigFile(name);
        if (!old)
            return false;
        content = *old;
    }
    content = edit(content);
    if (content.size() > maximumConfigFileSize)
        return false;
    const std::string temporaryName = name + ".new";
    const std::filesystem::path temporary = systemPath(temporaryName);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << content;
        out.flush();
        if (!out) {
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if ((beforeReplace && !beforeReplace(temporaryName))
        || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tempik
