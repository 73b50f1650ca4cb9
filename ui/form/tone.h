#pragma once
// The beep: a tone of a given frequency and duration that returns when it has ended. The
// production tone is the platform's, or a silent wait where no sound device opens.
#include <memory>

namespace tempik {

class Tone {
public:
    virtual ~Tone() = default;
    virtual void playTone(int frequencyHz, int durationMs) = 0;
};

// The platform's tone (ui/tone/): an ALSA sine on Linux (tone_alsa.cpp), Beep on Windows.
std::unique_ptr<Tone> makeSystemTone();

} // namespace tempik
