#include "app/ctl/ctl_commands.h"

#include "app/ctl/ctl_request.h"

namespace tempik::ctl {

const std::vector<CommandEntry>& commandTable()
{
    static const std::vector<CommandEntry> table = [] {
        std::vector<CommandEntry> commands = {
            {"scan", nullptr, "find the reader: remembered port first, then ports 1-32", nullptr, nullptr},
            {"settings", nullptr, "print the four remembered settings", nullptr, nullptr},
            {"ports", nullptr, "list the ports: device, what it is, whether it can be opened", nullptr, nullptr},
            {"readers", nullptr, "list the readers --all found: port, device, line, serial, identifier, version, time",
             nullptr, nullptr},
            {"apply", "FILE", "every setting of a profile (TOML) on the reader, one result each", nullptr, nullptr},
        };
        for (const OperationRow& row : operationTable())
            commands.push_back({row.command, row.from == ValueFrom::argument ? row.value : nullptr, row.help, &row,
                                row.operation});
        return commands;
    }();
    return table;
}

const CommandEntry* findCommand(const std::string& name)
{
    for (const CommandEntry& entry : commandTable())
        if (name == entry.name)
            return &entry;
    return nullptr;
}

int parseLineArgument(const std::string& text)
{
    try {
        return lineDefinitionArgument(text);
    } catch (const ValueRefused& refused) {
        throw UsageError{refused.message};
    }
}

} // namespace tempik::ctl
