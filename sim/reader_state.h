#pragma once
// What the simulated reader remembers, its factory values, and how each command of the reader's
// command set changes it. Values are kept as the bytes the command carried.
#include "sim/picture.h"

#include <string>

namespace tempik::sim {

struct ReaderState {
    // Identity: the serial number and version never change; the identifier does (AD, AI).
    std::string identifier = "0001";
    std::string serial = "20261208";
    std::string version = "01.40-01";
    std::string line = "19200,e,8,1";    // line definition the reader talks at
    std::string hourMode = "1";          // BD: "0" 12H, "1" 24H
    std::string clock;                   // AA: last date and time set, YYYYMMDDhhmmss
    std::string language = "0";          // BC
    std::string password = "0000";       // BF
    std::string volume = "9";            // BE
    std::string cardType = "0";          // AH
    std::string backlight = "120";       // BH
    std::string workTime = "010";        // BJ
    std::string idleScreen = "0";        // AG
    std::string titleMode = "0";         // BA + one digit
    std::string titleText;               // BA1 + text
    std::string installMessage;          // BA3 + text
    std::string titleMessage;            // BA4 + text
    std::string showMessage;             // BI + text
    Picture picture;                     // BB blocks

    // Factory defaults (AI): every setting above back to its initial value, the identifier to
    // 0001 and the line to "19200,e,8,1"; the serial number, version and clock stay.
    void resetToFactory();
};

enum class CommandOutcome {
    query,      // AS, AV: nothing changes
    applied,    // a setting was taken (it may equal the old value)
    refused,    // known command, argument not acceptable (or AD for another serial number)
    unknown,    // not a command of the reader
};

// Applies one command (code: two letters; argument: the bytes after it).
CommandOutcome applyCommand(ReaderState& state, const std::string& code, const std::string& argument);

} // namespace tempik::sim
