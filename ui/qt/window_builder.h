#pragma once
// Builds the window's controls from the control table: each widget with its place, size,
// design-time text, look, items, limits and initial value, and the tab order.
#include <functional>
#include <map>
#include <string>

class QTimer;
class QWidget;

namespace tempik {

struct BuiltControls {
    std::map<std::string, QWidget*> widgets;   // every control that is a widget, by name
    QTimer* timer = nullptr;                     // the table's timer (tmrBusy)
};

// Builds every row of the control table on form (the form row sets up form itself). language
// gives the window language whose code page counts the edit boxes' bytes, at every check;
// pasteTold hears of a paste an edit box refused (true) or cut (false).
BuiltControls buildControlsFromTable(QWidget& form, std::function<int()> language,
                                     std::function<void(bool refused)> pasteTold);

// Puts the form and every built control at its row's place and size, with its font and picture,
// times zoom: below 1, the window shrunk to fit a screen too small for it at the desktop's scale.
void zoomControls(QWidget& form, const std::map<std::string, QWidget*>& widgets, double zoom);

} // namespace tempik
