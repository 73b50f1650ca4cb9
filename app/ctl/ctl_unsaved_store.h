#pragma once
// A settings store that keeps nothing: for runs whose findings are remembered elsewhere (the
// ports of --all, decided once they have all ended) or never (apply --check).
#include "settings/settings_store.h"

namespace tempik::ctl {

class UnsavedStore final : public SettingsStore {
public:
    void loadSettings(Settings&) const override {}
    bool saveLinkSettings(const LinkSettings&) const override { return true; }
    bool saveLanguageFlag(const std::string&) const override { return true; }
    std::string location() const override { return {}; }
};

} // namespace tempik::ctl
