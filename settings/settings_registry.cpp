#include "settings/settings_registry.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace tempik {

namespace {

// One open key, closed on scope exit.
class Key {
public:
    Key() = default;
    ~Key()
    {
        if (key_)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool open(HKEY hive, const std::string& path, REGSAM access)
    {
        return RegOpenKeyExA(hive, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
    }
    bool create(HKEY hive, const std::string& path)
    {
        return RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr) ==
               ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::optional<StoredValue> queryValue(HKEY key, std::string_view name)
{
    const std::string valueName(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> data(size + 1, 0);
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        memcpy(&number, data.data(), sizeof number);
        value.kind = ValueKind::integer;
        value.integer = static_cast<int>(number);
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Stored with its terminating zero, or without.
        value.kind = ValueKind::text;
        value.text = std::string(reinterpret_cast<const char*>(data.data()));
    }
    return value;
}

// Where an earlier installation may have left the values: its per-user VirtualStore copy
// (where Windows puts what a program without elevation writes to the local-machine hive), then
// the local-machine key itself, each in the 32-bit view that a 32-bit program wrote to, then in
// the 64-bit view.
struct EarlierPlace {
    HKEY hive;
    const char* prefix;
    REGSAM view;
};

const EarlierPlace earlierPlaces[] = {
    {HKEY_CURRENT_USER, "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\", 0},
    {HKEY_CURRENT_USER, "Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\", 0},
    {HKEY_LOCAL_MACHINE, "", KEY_WOW64_32KEY},
    {HKEY_LOCAL_MACHINE, "", KEY_WOW64_64KEY},
};

// "Software\KESTO\..." without its first part, for the VirtualStore paths under SOFTWARE.
std::string belowSoftware(const std::string& keyPath)
{
    const size_t slash = keyPath.find('\\');
    return slash == std::string::npos ? keyPath : keyPath.substr(slash + 1);
}

bool writeInteger(HKEY key, const char* name, int value)
{
    const DWORD number = static_cast<DWORD>(value);
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) ==
           ERROR_SUCCESS;
}

bool writeText(HKEY key, const char* name, const std::string& text)
{
    // A zero inside would cut the text short when it is read back.
    if (text.find('\0') != std::string::npos)
        return false;
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

} // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string keyPath) : keyPath_(std::move(keyPath)) {}

void RegistrySettingsStore::loadSettings(Settings& settings) const
{
    Key own;
    // Read access only: a key the user may read but not write still holds their settings.
    own.open(HKEY_CURRENT_USER, keyPath_, KEY_READ);
    std::vector<std::unique_ptr<Key>> earlier;
    for (const EarlierPlace& place : earlierPlaces) {
        const bool virtualStore = place.hive == HKEY_CURRENT_USER;
        const std::string path = virtualStore ? place.prefix + belowSoftware(keyPath_) : keyPath_;
        auto key = std::make_unique<Key>();
        if (key->open(place.hive, path, KEY_READ | place.view))
            earlier.push_back(std::move(key));
    }
    readSettings(
        [&](std::string_view name) -> std::optional<StoredValue> {
            if (own.get())
                if (auto value = queryValue(own.get(), name))
                    return value;
            for (const auto& key : earlier)
                if (auto value = queryValue(key->get(), name))
                    return value;
            return std::nullopt;
        },
        settings);
}

bool RegistrySettingsStore::saveLinkSettings(const LinkSettings& link) const
{
    Key key;
    return key.create(HKEY_CURRENT_USER, keyPath_) && writeInteger(key.get(), "ScanCommNo", link.ScanCommNo) &&
           writeInteger(key.get(), "ScanBaudRateNo", link.ScanBaudRateNo) &&
           writeText(key.get(), "ScanBaudRate", link.ScanBaudRate);
}

bool RegistrySettingsStore::saveLanguageFlag(const std::string& languageFlag) const
{
    Key key;
    return key.create(HKEY_CURRENT_USER, keyPath_) && writeText(key.get(), "LanguageFlag", languageFlag);
}

std::unique_ptr<SettingsStore> makeSystemSettingsStore(const std::string&)
{
    return std::make_unique<RegistrySettingsStore>();
}

} // namespace tempik
