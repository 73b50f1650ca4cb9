// The tone on Windows: Beep, which returns when the tone has ended. Where there is no sound
// device Beep fails at once; the duration is waited out all the same, so timing is the same
// everywhere.
#include "ui/form/tone.h"

#include <windows.h>

namespace tempik {

class BeepTone final : public Tone {
public:
    void playTone(int frequencyHz, int durationMs) override
    {
        if (durationMs <= 0)
            return;
        if (!Beep(static_cast<DWORD>(frequencyHz), static_cast<DWORD>(durationMs)))
            Sleep(static_cast<DWORD>(durationMs));
    }
};

std::unique_ptr<Tone> makeSystemTone()
{
    return std::make_unique<BeepTone>();
}

} // namespace tempik
