#pragma once
// The beep: a tone of a given frequency and duration that returns when it has ended. The
// production tone is an ALSA sine on the default device, or a silent wait where none opens.
namespace tempik {

class Tone {
public:
    virtual ~Tone() = default;
    virtual void playTone(int frequencyHz, int durationMs) = 0;
};

class AlsaTone final : public Tone {
public:
    void playTone(int frequencyHz, int durationMs) override;
};

} // namespace tempik
