#pragma once
// The edit boxes' input rule on a native edit control: a typed character or a paste that the
// box does not take (a control character, one the code page lacks, more bytes than the limit
// in the code page of the window language) is refused; a paste is cut at the limit, at a whole
// character.
#include <windows.h>

#include <functional>

namespace tempik {

void applyEditBoxRule(HWND edit, int limitBytes, std::function<int()> language);

} // namespace tempik
