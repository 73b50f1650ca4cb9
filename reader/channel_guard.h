#pragma once
// Keeps the serial channel closed on every way out of an operation: the guard closes a channel
// that is still open when it goes, and close() lets the flow close it at its proper moment.
#include "link/reader_link.h"

namespace tempik {

class ChannelGuard {
public:
    // Takes over a channel that openChannel has just opened.
    explicit ChannelGuard(ReaderLink& link) : link_(link) {}
    ~ChannelGuard() { close(); }
    ChannelGuard(const ChannelGuard&) = delete;
    ChannelGuard& operator=(const ChannelGuard&) = delete;

    void close()
    {
        if (open_)
            link_.closeChannel();
        open_ = false;
    }

private:
    ReaderLink& link_;
    bool open_ = true;
};

} // namespace tempik
