#pragma once
// The look of the window's controls: the font, colours and frame each style of the control
// table stands for.
class QWidget;

namespace tempik {

struct ControlRow;

// Gives widget the colours and frame of its row's style, for the kind of widget it is.
void applyControlStyle(QWidget& widget, const ControlRow& row);

// Gives widget its style's font at zoom times its size: the form takes the window style's font,
// a control its style's font only where that differs (the rest inherit the form's).
void applyControlFont(QWidget& widget, const ControlRow& row, double zoom);

} // namespace tempik
