#include "app/ctl/ctl_profile.h"

#include "app/ctl/ctl_request.h"

#include <toml++/toml.h>

#include <filesystem>

namespace tempik::ctl {

namespace {

[[noreturn]] void refuse(const std::string& path, const toml::source_region& where, const std::string& what)
{
    throw UsageError{path + ":" + std::to_string(where.begin.line) + ":" + std::to_string(where.begin.column) + ": " +
                     what};
}

const OperationRow* rowOfKey(const std::string& key)
{
    for (const OperationRow& row : operationTable())
        if (row.profileKey && key == row.profileKey)
            return &row;
    return nullptr;
}

// A value as its command's argument would give it: a string, or a whole number for the numeric
// settings ("volume = 5").
std::string argumentOf(const toml::node& node, const std::string& path, const std::string& key)
{
    if (const auto text = node.value_exact<std::string>())
        return *text;
    if (const auto number = node.value_exact<int64_t>())
        return std::to_string(*number);
    refuse(path, node.source(), key + " takes a text or a number");
}

void check(const OperationRow& row, const std::string& value, int uiLanguage, const std::string& path,
           const toml::node& node)
{
    ValueControls scratch;
    try {
        row.take(value, scratch, uiLanguage);
    } catch (const ValueRefused& refused) {
        refuse(path, node.source(), refused.message);
    }
}

} // namespace

std::string settingName(const ProfileSetting& setting)
{
    return setting.row->profileKey ? setting.row->profileKey : "id";
}

Profile loadProfile(const std::string& path, int uiLanguage)
{
    toml::table document;
    try {
        document = toml::parse_file(path);
    } catch (const toml::parse_error& error) {
        refuse(path, error.source(), std::string(error.description()));
    }
    const std::filesystem::path folder = std::filesystem::absolute(path).parent_path();
    std::map<const OperationRow*, std::string> chosen;
    Profile profile;
    for (const auto& [name, node] : document) {
        const std::string section(name.str());
        const toml::table* table = node.as_table();
        if (!table || (section != "reader" && section != "ids"))
            refuse(path, node.source(), "unknown section \"" + section + "\"; a profile has [reader] and [ids]");
        for (const auto& [keyName, value] : *table) {
            const std::string key(keyName.str());
            if (section == "ids") {
                const auto number = value.value_exact<int64_t>();
                if (!number)
                    refuse(path, value.source(), "the identifier of " + key + " must be a number");
                check(*findOperation("set-id"), std::to_string(*number), uiLanguage, path, value);
                profile.ids[key] = std::to_string(*number);
                continue;
            }
            const OperationRow* row = rowOfKey(key);
            if (!row)
                refuse(path, keyName.source(), "unknown setting \"" + key + "\"");
            if (row->from == ValueFrom::none) {
                const auto on = value.value_exact<bool>();
                if (!on)
                    refuse(path, value.source(), key + " takes true or false");
                if (*on)
                    chosen[row] = "";
                continue;
            }
            std::string argument = argumentOf(value, path, key);
            if (std::string(row->command) == "set-icon" && !argument.empty())
                argument = (folder / std::filesystem::u8path(argument)).u8string();
            check(*row, argument, uiLanguage, path, value);
            chosen[row] = argument;
        }
    }
    const OperationRow* first = findOperation("factory-default");
    const OperationRow* identifier = findOperation("set-id");
    const OperationRow* line = findOperation("set-baud");
    if (chosen.count(first))
        profile.settings.push_back({first, ""});
    for (const OperationRow& row : operationTable())
        if (&row != first && &row != line && chosen.count(&row))
            profile.settings.push_back({&row, chosen[&row]});
    if (!profile.ids.empty())
        profile.settings.push_back({identifier, ""});
    if (chosen.count(line))
        profile.settings.push_back({line, chosen[line]});
    return profile;
}

} // namespace tempik::ctl
