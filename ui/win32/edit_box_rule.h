#pragma once
// The form's edit-box rule (acceptEdit) on a native edit control: what is typed or pasted goes
// through it, so a character the box does not take is refused with a beep and a paste longer
// than the room left is cut at a whole character.
#include <windows.h>

#include <functional>

namespace tempik {

void applyEditBoxRule(HWND edit, int limitBytes, std::function<int()> language);

} // namespace tempik
