#pragma once
// What the program sets up around its window: the application title, the fonts the window
// names, its icon, and the message box for an error that escapes a handler.
#include "ui/form/window_texts.h"

#include <QString>

class QApplication;
class QIcon;
class QWidget;

namespace tempik {

// The window's pictures, and its fonts: the names it uses ("Arial", "MS Sans Serif",
// "Microsoft Sans Serif") resolve to Liberation Sans, Chinese to WenQuanYi Micro Hei. Idempotent.
void prepareWindowResources();

// A picture of the window's resources, by its file name in ui/form/images. An SVG stays sharp at any scale; where Qt has no SVG
// support, the PNG of the same name stands in.
QIcon windowPicture(const char* resource);

// Title, icon and fonts; call once after constructing the application.
void setUpApplication(QApplication& application);

// The error box: the message, captioned with the application title.
void showError(QWidget* parent, const QString& message);

} // namespace tempik
