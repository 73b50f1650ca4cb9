#pragma once
// The form on a fake view, the fake device and clock, a recording tone and a store in memory;
// a reader on COM1 answers when asked to.
#include "settings/settings_store.h"
#include "tests/form/fake_view.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_device.h"
#include "ui/form/module_form.h"
#include "ui/form/tone.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tempik::testing {

class RecordingTone final : public Tone {
public:
    void playTone(int frequencyHz, int durationMs) override { tones.emplace_back(frequencyHz, durationMs); }
    std::vector<std::pair<int, int>> tones;
};

// The stored values by name, read as every store reads them; saves may be refused.
class MemoryStore final : public SettingsStore {
public:
    void loadSettings(Settings& settings) const override;
    bool saveLinkSettings(const LinkSettings& link) const override;
    bool saveLanguageFlag(const std::string& languageFlag) const override;
    std::string location() const override { return "the test's store"; }

    mutable std::map<std::string, StoredValue> values;
    bool refuseSaves = false;
};

StoredValue storedText(const std::string& text);
StoredValue storedNumber(int number);

struct FormRig {
    explicit FormRig(std::map<std::string, StoredValue> stored = {});

    void attachReader(const std::string& identifier = "0042");
    void click(const char* button) { form.click(button); }
    std::string text(const char* control) { return view.at(control).text; }
    // The commands the reader got (status and version queries left out).
    std::vector<std::string> commands() const;

    FakeClock clock;
    FakeDevice device{clock};
    FakePortMap ports;
    MemoryStore store;
    RecordingTone tone;
    FakeView view{clock};
    ModuleForm form{{device, clock, ports, store, tone}, view};
};

} // namespace tempik::testing
