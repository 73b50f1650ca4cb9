#pragma once
// Files for tests: a temporary folder, whole files as bytes, reproducible garbage, and icons.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tempik::testing {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempFolder {
public:
    TempFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tempik-test-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed for " + pattern);
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    // A path inside the folder: folder / "ports" / "COM3".
    std::filesystem::path operator/(const std::string& name) const { return std::filesystem::path(path_) / name; }

private:
    std::string path_;
};

// The whole file; empty when it cannot be read, "<not a file>" when it is something else.
inline std::string fileText(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
        return "<not a file>";
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The unprivileged user and group nobody.
constexpr unsigned nobodyId = 65534;

// Runs check in a child that becomes user and group nobody when the tests run as root,
// so that permissions bind it; its result, or nullopt when it could not give up root.
inline std::optional<bool> unprivileged(const std::function<bool()>& check)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobodyId) != 0 || ::setuid(nobodyId) != 0))
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// count random bytes from seed, with a NUL every 97 bytes for certain.
inline std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    for (size_t i = 0; i < count; i += 97)
        bytes[i] = '\0';
    return bytes;
}

// An icon file of 70 bytes ahead of 16 rows of 16 bytes, bottom row first, the header zero and
// every pixel white (a 1 bit); pixels are turned black by clearing bits.
struct IconBytes {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(70 + 256, 0xFF);
    IconBytes() { std::fill(bytes.begin(), bytes.begin() + 70, 0x00); }   // header area: not read
    IconBytes& on(int x, int y)
    {
        bytes[static_cast<size_t>(70 + (15 - y) * 16 + x / 8)] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
        return *this;
    }
    void write(const std::string& path) const { writeFile(path, std::string(bytes.begin(), bytes.end())); }
};

} // namespace tempik::testing
