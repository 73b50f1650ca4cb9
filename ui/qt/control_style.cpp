#include "ui/qt/control_style.h"

#include "ui/form/control_table.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tempik {

namespace {

QFont styleFont(ControlStyle style)
{
    QFont font;
    switch (style) {
    case ControlStyle::V:
    case ControlStyle::M:
        font.setFamily(QStringLiteral("MS Sans Serif"));
        font.setPixelSize(16);
        font.setBold(true);
        break;
    case ControlStyle::F:
        font.setFamily(QStringLiteral("Microsoft Sans Serif"));
        font.setPixelSize(11);
        break;
    case ControlStyle::englishButton:
        font.setFamily(QStringLiteral("MS Sans Serif"));
        font.setPixelSize(13);
        break;
    case ControlStyle::languagePicture:
        font.setFamily(QStringLiteral("MS Sans Serif"));
        font.setPixelSize(11);
        break;
    case ControlStyle::window:
    case ControlStyle::framed:
        font.setFamily(QStringLiteral("Arial"));
        font.setPixelSize(16);
        break;
    }
    return font;
}

// Colours and borders of each style, by the kind of widget that carries it.
QString styleSheetOf(ControlStyle style, ControlKind kind)
{
    switch (style) {
    case ControlStyle::V:
        if (kind == ControlKind::panel)
            return QStringLiteral("QLabel { background-color: palette(highlight); color: yellow; border: 1px solid black; }");
        // A disabled value field (the window is busy) turns grey, as the buttons do.
        if (kind == ControlKind::dropDown)
            return QStringLiteral("QComboBox { background-color: palette(highlight); color: yellow; border: 1px solid black; padding-left: 3px; }"
                                  "QComboBox:disabled { background-color: palette(button); color: palette(dark); }"
                                  "QComboBox QAbstractItemView { background-color: palette(highlight); color: yellow;"
                                  " selection-background-color: yellow; selection-color: black; }");
        return QStringLiteral("QLineEdit { background-color: palette(highlight); color: yellow; border: 1px solid black; padding-left: 2px; }"
                              "QLineEdit:disabled { background-color: palette(button); color: palette(dark); }");
    case ControlStyle::M:
        // The active-caption colour of the classic desktop.
        return QStringLiteral("QLabel { background-color: rgb(0, 84, 227); color: white; border: 1px solid black;"
                              " border-top-color: gray; border-left-color: gray; }");
    case ControlStyle::F:
        return QStringLiteral("QLabel { background-color: navy; color: white; border: 1px solid black; }");
    case ControlStyle::englishButton:
        // Red only while it takes input: disabled, it greys like every other button.
        return QStringLiteral("QPushButton:enabled { color: red; }");
    case ControlStyle::framed:
        return QStringLiteral("QLabel { border: 1px solid black; }");
    case ControlStyle::window:
    case ControlStyle::languagePicture:
        break;
    }
    return {};
}

} // namespace

void applyControlFont(QWidget& widget, const ControlRow& row, double zoom)
{
    if (row.kind != ControlKind::form && row.style == ControlStyle::window)
        return;
    QFont font = styleFont(row.style);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * zoom))));
    widget.setFont(font);
}

void applyControlStyle(QWidget& widget, const ControlRow& row)
{
    const QString sheet = styleSheetOf(row.style, row.kind);
    if (!sheet.isEmpty())
        widget.setStyleSheet(sheet);
}

} // namespace tempik
