#include "tests/form/form_rig.h"

namespace tempik::testing {

void MemoryStore::loadSettings(Settings& settings) const
{
    readSettings([this](std::string_view name) -> std::optional<StoredValue> {
        const auto found = values.find(std::string(name));
        return found == values.end() ? std::nullopt : std::optional<StoredValue>(found->second);
    }, settings);
}

bool MemoryStore::saveLinkSettings(const LinkSettings& link) const
{
    if (refuseSaves)
        return false;
    values["ScanCommNo"] = storedNumber(link.ScanCommNo);
    values["ScanBaudRateNo"] = storedNumber(link.ScanBaudRateNo);
    values["ScanBaudRate"] = storedText(link.ScanBaudRate);
    return true;
}

bool MemoryStore::saveLanguageFlag(const std::string& languageFlag) const
{
    if (refuseSaves)
        return false;
    values["LanguageFlag"] = storedText(languageFlag);
    return true;
}

StoredValue storedText(const std::string& text)
{
    return {ValueKind::text, 0, text};
}

StoredValue storedNumber(int number)
{
    return {ValueKind::integer, number, {}};
}

FormRig::FormRig(std::map<std::string, StoredValue> stored)
{
    store.values = std::move(stored);
    ports.ports = {1};
    view.form = &form;
    form.FormCreate();
    form.FormShow();
}

void FormRig::attachReader(const std::string& identifier)
{
    device.responder = readerOn("COM1", "", statusReply(identifier, "A1B2C3D4"), versionReply("01.40-01"));
}

std::vector<std::string> FormRig::commands() const
{
    std::vector<std::string> sent;
    for (const std::string& request : device.requests())
        if (request.size() >= 6 && request.compare(4, 2, "AS") != 0 && request.compare(4, 2, "AV") != 0)
            sent.push_back(request);
    return sent;
}

} // namespace tempik::testing
