#pragma once
// An invariant of a fuzz target: when it does not hold, say which and abort, so libFuzzer keeps
// the input as a crash. And the scratch folder of a target that works on files.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

#include <filesystem>
#include <string>

namespace tempik::fuzz {

// A folder under $TMPDIR (fuzz/run.sh points it into build-fuzz/) for one whole fuzz run,
// removed with everything in it when the process ends. Made on first use.
inline const std::string& scratchFolder(const char* name)
{
    struct Folder {
        std::string path;
        explicit Folder(const char* name)
        {
            const char* tmp = std::getenv("TMPDIR");
            path = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + name + ".XXXXXX";
            FUZZ_CHECK(::mkdtemp(path.data()) != nullptr);
        }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder(name);
    return folder.path;
}

} // namespace tempik::fuzz
