#pragma once
// What a screen reader says for the controls that show no words of their own: a value field
// takes the words of its label, or of the button it feeds; a picture button and the lock box
// have names of their own. Written in the window language, again at every language switch.
#include <map>
#include <string>

class QWidget;

namespace tempik {

void nameControls(const std::map<std::string, QWidget*>& controls, int uiLanguage);

} // namespace tempik
