// ALSA sine tone, written blocking and drained, so the call lasts as long as the tone.
#include "ui/form/tone.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace tempik {
namespace {

constexpr unsigned sampleRate = 48000;
constexpr double amplitude = 0.3 * 32767;

// A machine without sound would print ALSA's complaints on every beep.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

struct Pcm {
    snd_pcm_t* handle = nullptr;
    ~Pcm()
    {
        if (handle)
            snd_pcm_close(handle);
    }
};

void silentWait(int durationMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
}

} // namespace

class AlsaTone final : public Tone {
public:
    void playTone(int frequencyHz, int durationMs) override;
};

void AlsaTone::playTone(int frequencyHz, int durationMs)
{
    if (durationMs <= 0)
        return;
    snd_lib_error_set_handler(quietAlsa);
    const auto start = std::chrono::steady_clock::now();
    Pcm pcm;
    if (snd_pcm_open(&pcm.handle, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0
        || snd_pcm_set_params(pcm.handle, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                              sampleRate, 1, 50000) < 0) {
        silentWait(durationMs);
        return;
    }
    const size_t frames = static_cast<size_t>(sampleRate) * static_cast<size_t>(durationMs) / 1000;
    std::vector<int16_t> samples(frames);
    const double step = 2.0 * M_PI * frequencyHz / sampleRate;
    for (size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<int16_t>(amplitude * std::sin(step * static_cast<double>(i)));

    size_t written = 0;
    while (written < frames) {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm.handle, samples.data() + written, frames - written);
        if (n < 0)
            n = snd_pcm_recover(pcm.handle, static_cast<int>(n), 1);
        if (n < 0)
            break;
        written += static_cast<size_t>(n);
    }
    if (written == frames) {
        snd_pcm_drain(pcm.handle);
        return;
    }
    // The device failed part way: keep the timing of the tone all the same.
    const auto spent = std::chrono::steady_clock::now() - start;
    const auto rest = std::chrono::milliseconds(durationMs) - spent;
    if (rest > std::chrono::milliseconds(0))
        std::this_thread::sleep_for(rest);
}

std::unique_ptr<Tone> makeSystemTone()
{
    return std::make_unique<AlsaTone>();
}

} // namespace tempik
