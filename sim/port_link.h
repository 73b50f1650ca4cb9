#pragma once
// A symbolic link to the reader's slave (for example <config>/KESTO/ports/COM3), made at start
// and removed at exit, if it still points where this reader made it point.
#include <string>

namespace tempik::sim {

class PortLink {
public:
    PortLink() = default;
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // Creates the parent folders, then the link (replacing an existing symbolic link, never
    // another kind of file). False with error set.
    bool create(const std::string& path, const std::string& target, std::string& error);

private:
    std::string path_;
    std::string target_;
};

} // namespace tempik::sim
