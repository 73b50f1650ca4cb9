#pragma once
// The commands of tempikctl, named after the window's buttons: what each takes, how its argument
// goes into the controls, and which operation runs.
#include "app/ctl/ctl_controls.h"
#include "reader/operations.h"

#include <string>
#include <vector>

namespace tempik::ctl {

struct CommandEntry {
    const char* name;
    const char* argument;   // nullptr: none
    std::string help;
    // Checks the argument and puts it into the controls; throws UsageError when it is refused.
    void (*apply)(const std::string& argument, CtlControls& controls, int uiLanguage);
    OperationOutcome (ReaderOperations::*operation)();   // nullptr: scan and settings
};

const std::vector<CommandEntry>& commandTable();
const CommandEntry* findCommand(const std::string& name);

// "19200,e,8,1" or an index 0..13; throws UsageError.
int parseLineArgument(const std::string& text);

} // namespace tempik::ctl
