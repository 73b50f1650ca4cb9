// A console is written with WriteConsoleW: written as bytes, its output code page (an OEM page,
// whatever the program's own) turns Chinese UTF-8 into noise. Output that is no console (a pipe,
// a file) stays UTF-8.
#include "app/ctl/ctl_console.h"

#include "link/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <string>

namespace tempik::ctl {

namespace {

// Keeps a character's bytes together across writes, and hands whole characters to the console.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}
    ~ConsoleBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof())
            pending_ += static_cast<char>(c);
        if (c == '\n' || pending_.size() >= 4096)
            sync();
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        pending_.append(data, static_cast<size_t>(count));
        if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096)
            sync();
        return count;
    }
    int sync() override
    {
        const size_t whole = wholeCharacters();
        const std::wstring wide = wideFromUtf8(pending_.substr(0, whole));
        pending_.erase(0, whole);
        for (size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const DWORD count = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 8192));
            if (!WriteConsoleW(console_, wide.data() + done, count, &written, nullptr) || written == 0)
                return -1;
            done += written;
        }
        return 0;
    }

private:
    // The bytes of pending_ up to the last character that is complete.
    size_t wholeCharacters() const
    {
        size_t end = pending_.size();
        for (size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
            const auto byte = static_cast<unsigned char>(pending_[pending_.size() - back]);
            if ((byte & 0xC0) == 0x80)
                continue;   // a continuation byte: look further back for its lead
            const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            if (length > back)
                end = pending_.size() - back;
            break;
        }
        return end;
    }

    HANDLE console_;
    std::string pending_;
};

void useConsoleFor(std::ostream& stream, DWORD handleName)
{
    const HANDLE handle = GetStdHandle(handleName);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return;
    stream.flush();
    // Lives as long as the stream may be written, to the process's end.
    static ConsoleBuffer* buffers[2] = {};
    ConsoleBuffer*& buffer = buffers[handleName == STD_OUTPUT_HANDLE ? 0 : 1];
    buffer = new ConsoleBuffer(handle);
    stream.rdbuf(buffer);
}

} // namespace

void useConsoleOutput()
{
    useConsoleFor(std::cout, STD_OUTPUT_HANDLE);
    useConsoleFor(std::cerr, STD_ERROR_HANDLE);
}

} // namespace tempik::ctl
