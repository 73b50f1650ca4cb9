#pragma once
// The readers tempikctl --all found, each where it was found: kept between runs in
// tempikctl-readers beside the settings (saved as the settings are), so that a later --all
// goes to each at its own port and line and can name every one it did not reach.
#include "app/ctl/ctl_report.h"
#include "link/port_map.h"

#include <string>
#include <vector>

namespace tempik::ctl {

struct KnownReader {
    int port = 0;
    std::string line;         // the line definition it answered at
    std::string serial;
    std::string identifier;
    std::string version;
    std::string time;         // UTC, when it last answered: "2026-12-09T14:50:00Z"

    bool operator==(const KnownReader& other) const;
};

// Ascending ports, one reader each. A file that cannot be read or parsed, and entries that make
// no sense, count as nothing remembered.
std::vector<KnownReader> loadKnownReaders(const std::string& configFolder);
// False when the file could not be saved.
bool saveKnownReaders(const std::string& configFolder, const std::vector<KnownReader>& readers);

// The reader remembered at port, or nullptr.
const KnownReader* knownReaderAt(const std::vector<KnownReader>& readers, int port);
// Puts reader in place of the one at its port, keeping the ports ascending.
void rememberReader(std::vector<KnownReader>& readers, const KnownReader& reader);
void forgetPort(std::vector<KnownReader>& readers, int port);

// Now, in UTC, as KnownReader::time.
std::string utcNow();

// One JSON object naming a reader that was not reached, for --all's results.
Report unreachedJson(const std::string& command, const std::string& message, const KnownReader& reader,
                          const std::string& device);

// tempikctl readers: one line (or JSON object) per remembered reader. Returns the exit code.
int printKnownReaders(const std::string& configFolder, const PortMap& ports, bool json);

} // namespace tempik::ctl
