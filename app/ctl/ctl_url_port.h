#pragma once
// A network port named by its URL on the command line (--port rfc2217://host:port): the one
// port of this run, as COM1 of a map of its own. What a scan finds there is not remembered, for
// the stored port number means a port of the configuration folder's map.
#include "link/port_map.h"
#include "settings/settings_store.h"

#include <string>

namespace tempik::ctl {

class UrlPort {
public:
    static constexpr int number = 1;

    UrlPort(std::string url, const SettingsStore& store) : ports_(std::move(url)), store_(store) {}
    const PortMap& ports() const { return ports_; }
    const SettingsStore& store() const { return store_; }

private:
    class OnePortMap final : public PortMap {
    public:
        explicit OnePortMap(std::string url) : url_(std::move(url)) {}
        std::optional<std::string> devicePath(int portNumber) const override
        {
            return portNumber == number ? std::optional<std::string>(url_) : std::nullopt;
        }

    private:
        std::string url_;
    };

    class LinkUnremembered final : public SettingsStore {
    public:
        explicit LinkUnremembered(const SettingsStore& store) : store_(store) {}
        void loadSettings(Settings& settings) const override { store_.loadSettings(settings); }
        bool saveLinkSettings(const LinkSettings&) const override { return true; }   // kept out on purpose
        bool saveLanguageFlag(const std::string& flag) const override { return store_.saveLanguageFlag(flag); }
        std::string location() const override { return store_.location(); }

    private:
        const SettingsStore& store_;
    };

    OnePortMap ports_;
    LinkUnremembered store_;
};

} // namespace tempik::ctl
