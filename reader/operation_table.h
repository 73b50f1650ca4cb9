#pragma once
// Every set operation once: the name a command line and a profile give it, the button that runs
// it in the window, the control it reads, how a value for that control is checked and put there,
// and the ReaderOperations member that runs it. The window's button map, tempikctl's commands,
// its help and completion, and the profile keys all come from this table.
#include "reader/operations.h"
#include "reader/value_controls.h"

#include <string>
#include <vector>

namespace tempik {

// A value that the control would not take; the message says why, in English.
struct ValueRefused {
    std::string message;
};

// Where a command line finds the value: nowhere, its argument, or an option (--12h/--24h).
enum class ValueFrom { none, argument, option };

struct OperationRow {
    const char* command;      // "set-volume"
    const char* button;       // the window's "btnVolume"
    const char* control;      // the control it reads ("cmbSound"); nullptr: none
    ValueFrom from;
    const char* value;        // what the value looks like, for help and completion ("0-9")
    const char* profileKey;   // its key in a profile ("volume"); nullptr: not a profile setting
    std::string help;
    // Checks value as the control would take it and puts it there; throws ValueRefused.
    void (*take)(const std::string& value, ValueControls& controls, int uiLanguage);
    OperationOutcome (ReaderOperations::*operation)();
    // The words a value may be, for completion; empty when any text of its form.
    std::vector<std::string> choices;
};

const std::vector<OperationRow>& operationTable();
const OperationRow* findOperation(const std::string& command);

// The operation, once the reader took it, has the reader answer on another line definition.
bool movesReaderLine(const OperationRow& row);

// "19200,e,8,1" or an index 0..13 to the index of one of the 14 line definitions; throws
// ValueRefused.
int lineDefinitionArgument(const std::string& text);

} // namespace tempik
