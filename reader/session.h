#pragma once
// The process-wide state the operations share: the link with its reply buffer, the persisted
// settings with their store, the window language and readerFound.
#include "link/reader_link.h"
#include "settings/settings_store.h"

namespace tempik {

struct ReaderSession {
    ReaderLink& link;
    Settings& settings;            // LinkSettings, LanguageFlag, uiLanguage
    const SettingsStore& store;
    bool readerFound = false;      // false at the start of every run
    // A save of the settings failed: the operation went on, and the front end tells the
    // operator that what it found or set will not be remembered, then clears this.
    bool settingsUnsaved = false;

    LinkSettings& linkSettings() { return settings.link; }
    int uiLanguage() const { return settings.uiLanguage; }
    void saveLinkSettings()
    {
        if (!store.saveLinkSettings(settings.link))
            settingsUnsaved = true;
    }
};

} // namespace tempik
