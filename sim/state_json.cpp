#include "sim/state_json.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tempik::sim {

std::string jsonBytes(const std::string& bytes)
{
    std::string out = "\"";
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c >= 0x20 && c < 0x7F) {
            out += ch;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string stateToJson(const ReaderState& s)
{
    const std::pair<const char*, const std::string*> fields[] = {
        {"identifier", &s.identifier},   {"serial", &s.serial},
        {"version", &s.version},         {"line", &s.line},
        {"hourMode", &s.hourMode},       {"clock", &s.clock},
        {"language", &s.language},       {"password", &s.password},
        {"volume", &s.volume},           {"cardType", &s.cardType},
        {"backlight", &s.backlight},     {"workTime", &s.workTime},
        {"idleScreen", &s.idleScreen},   {"titleMode", &s.titleMode},
        {"titleText", &s.titleText},     {"installMessage", &s.installMessage},
        {"titleMessage", &s.titleMessage}, {"showMessage", &s.showMessage},
    };
    std::string out = "{\n";
    for (const auto& [name, value] : fields)
        out += std::string("  \"") + name + "\": " + jsonBytes(*value) + ",\n";
    out += "  \"picture\": [\n";
    const auto rows = s.picture.rows();
    for (size_t y = 0; y < rows.size(); ++y)
        out += "    \"" + rows[y] + (y + 1 < rows.size() ? "\",\n" : "\"\n");
    out += "  ]\n}\n";
    return out;
}

bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error)
{
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = "cannot write " + temporary + ": " + std::strerror(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tempik::sim
