#pragma once
// A file of the configuration folder kept as the settings file is kept: read whole up to a
// limit, and saved whole in one step (a temporary file, flushed, renamed) under a lock, keeping
// the file's owner and mode and the file a symbolic link points to. The settings store and
// tempikctl's memory of the readers it found both go through here.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tempik {

// A file larger than this is not read, and a save that would make one is refused.
constexpr size_t maximumConfigFileSize = 1 << 20;

// The whole file; nullopt when it is absent, no regular file, unreadable or over the limit.
std::optional<std::string> readConfigFile(const std::string& path);

// The file's new content from its old one (empty when there was none).
using ConfigFileEdit = std::function<std::string(const std::string& old)>;
// Called with the finished temporary file just before it replaces the old one; false abandons
// the save. Lets tests interrupt a save.
using BeforeReplace = std::function<bool(const std::string& temporaryPath)>;

// Reads configFolder/fileName (making the folder when needed), applies edit and puts the result
// in its place atomically; false, with the old file as it was, when any step fails.
bool saveConfigFile(const std::string& configFolder, const std::string& fileName, const ConfigFileEdit& edit,
                    const BeforeReplace& beforeReplace = {});

} // namespace tempik
