#pragma once
// What a screen reader says for each control, in the window language: a button what it shows
// without its accelerator mark, a value field the words of its label or of the button it feeds,
// a picture button and the lock box names of their own. Every view gives these names to its
// controls at every language switch.
#include <string>
#include <vector>

namespace tempik {

struct AccessibleName {
    const char* control;
    std::string name;
};

std::vector<AccessibleName> accessibleNames(int uiLanguage);

// "Set &Password" -> "Set Password", "设定密码(&P)" -> "设定密码", "Password:" -> "Password".
std::string spokenText(std::string text);

// The text a control of the table shows in a window language ("" for a control with none).
std::string shownText(const char* control, int uiLanguage);

} // namespace tempik
