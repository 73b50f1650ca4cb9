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
// gives the window language whose code page counts the edit boxes' bytes, at every check.
BuiltControls buildControlsFromTable(QWidget& form, std::function<int()> language);

} // namespace tempik
