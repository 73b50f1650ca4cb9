#include "settings/settings_store.h"

#include "texts/text_table.h"

namespace tempik {

void readSettings(const FindValue& find, Settings& settings)
{
    settings = Settings{};
    auto readInteger = [&](std::string_view name, int& target) {
        const auto value = find(name);
        if (value && value->kind != ValueKind::integer)
            return false;
        if (value)
            target = value->integer;
        return true;
    };
    auto readText = [&](std::string_view name, std::string& target) {
        const auto value = find(name);
        if (value && value->kind != ValueKind::text)
            return false;
        if (value)
            target = value->text;
        return true;
    };
    if (!readInteger("ScanCommNo", settings.link.ScanCommNo)
        || !readText("ScanBaudRate", settings.link.ScanBaudRate)
        || !readInteger("ScanBaudRateNo", settings.link.ScanBaudRateNo)
        || !readText("LanguageFlag", settings.LanguageFlag))
        return;
    settings.uiLanguage = uiLanguageFromFlag(settings.LanguageFlag);
}

} // namespace tempik
