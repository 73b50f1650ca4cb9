#pragma once
// Whole files as bytes for tests, and reproducible garbage to put in them.
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tempik::testing {

// The whole file; empty when it cannot be read.
inline std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
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

} // namespace tempik::testing
