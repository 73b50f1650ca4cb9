// How long the production tone takes against its length, with or without a sound device: a tone
// must not hang the window, and nothing to play returns at once.
#include "bench/figure.h"
#include "ui/form/tone.h"

using namespace tempik;
using namespace tempik::bench;

int main()
{
    const std::unique_ptr<Tone> tone = makeSystemTone();
    for (const int ms : {0, 60, 120}) {
        Series took;
        for (int i = 0; i < 5; ++i) {
            const auto start = Steady::now();
            tone->playTone(ms ? 1000 : 300, ms);
            took.add(msSince(start));
        }
        std::printf("tone of %3d ms: %7.2f ms (%7.2f), 5 rounds\n", ms, took.median(), took.max());
        printFigure("tone of " + std::to_string(ms) + " ms", took.max(), "ms", ms,
                    ms ? "< " + std::to_string(ms + 400) + " ms" : "< 20 ms", ms ? "its length" : "");
    }
    return 0;
}
