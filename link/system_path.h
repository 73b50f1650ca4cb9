#pragma once
// File names are UTF-8 throughout the tool; these hand them to the system in its own form
// (UTF-16 on Windows, where a narrow name would go through the C library's locale instead).
#include <cstdio>
#include <filesystem>
#include <string>

namespace tempik {

std::filesystem::path systemPath(const std::string& utf8);

// The UTF-8 name of a path the system gave.
std::string utf8Name(const std::filesystem::path& path);

// std::fopen of a UTF-8 name.
std::FILE* openFile(const std::string& utf8, const char* mode);

} // namespace tempik
