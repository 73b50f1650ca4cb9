#pragma once
// The look of the window's controls: the font, colours and frame each style of the control
// table stands for.
class QWidget;

namespace tempik {

struct ControlRow;

// Gives widget the look of its row's style: the form takes the window style's font, a control
// its style's font only where that differs (the rest inherit the form's), and the style's
// colours and frame for the kind of widget it is.
void applyControlStyle(QWidget& widget, const ControlRow& row);

} // namespace tempik
