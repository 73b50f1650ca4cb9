#pragma once
// Writing one request the way the exchange writes it (SOH, the payload as one block, the rest a
// byte at a time), timed over rounds: the same figure on every platform's link.
#include "bench/figure.h"
#include "link/frame.h"
#include "link/reader_link.h"

#include <cstdint>
#include <vector>

namespace tempik::bench {

inline Series timeRequestWrites(ReaderLink& link, const std::vector<uint8_t>& frame, size_t payloadSize, int rounds)
{
    Series write;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        link.writeByte(SOH);
        link.writeBlock(frame.data() + 1, payloadSize);
        for (size_t k = payloadSize + 1; k < frame.size(); ++k)
            link.writeByte(frame[k]);
        write.add(msSince(start));
    }
    return write;
}

} // namespace tempik::bench
