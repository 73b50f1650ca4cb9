#pragma once
// The commands of tempikctl: its own (scan, settings, ports, apply) and one per row of the
// operation table, named after the window's buttons.
#include "reader/operation_table.h"

#include <string>
#include <vector>

namespace tempik::ctl {

struct CommandEntry {
    const char* name;
    const char* argument;   // nullptr: none
    std::string help;
    const OperationRow* row;                              // nullptr: one of tempikctl's own
    OperationOutcome (ReaderOperations::*operation)();   // nullptr: not a set operation
};

const std::vector<CommandEntry>& commandTable();
const CommandEntry* findCommand(const std::string& name);

// "19200,e,8,1" or an index 0..13; throws UsageError.
int parseLineArgument(const std::string& text);

} // namespace tempik::ctl
