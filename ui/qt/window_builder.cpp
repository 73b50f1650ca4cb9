#include "ui/qt/window_builder.h"

#include "texts/text_table.h"
#include "ui/qt/application.h"
#include "ui/qt/code_page_validator.h"
#include "ui/qt/control_style.h"
#include "ui/form/control_table.h"
#include "ui/qt/focus_aids.h"
#include "ui/qt/message_bar.h"
#include "ui/qt/preview_image.h"
#include "ui/qt/status_lamp.h"
#include "ui/qt/value_list.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tempik {

namespace {

// The text a control shows before FormShow writes the window language's: the English one.
QString designText(const ControlRow& row)
{
    if (row.entry == noEntry)
        return QString::fromUtf8(row.text);
    return QString::fromStdString(text(row.entry, english) + row.text);
}

QWidget* controlNamed(const BuiltControls& built, const char* name)
{
    const auto found = built.widgets.find(name);
    return found == built.widgets.end() ? nullptr : found->second;
}

} // namespace

BuiltControls buildControlsFromTable(QWidget& form, std::function<int()> language,
                                     std::function<void(bool refused)> pasteTold)
{
    BuiltControls built;
    std::vector<std::pair<int, QWidget*>> tabOrder;
    auto* wheelNeedsFocus = new WheelNeedsFocus(&form);
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        QWidget* parentWidget = row.parent ? controlNamed(built, row.parent) : &form;
        QWidget* widget = nullptr;
        switch (row.kind) {
        case ControlKind::form:
            form.setObjectName(QString::fromLatin1(row.name));
            form.setWindowTitle(designText(row));
            form.setWindowIcon(windowPicture(row.picture));
            applyControlStyle(form, row);
            continue;
        case ControlKind::button:
        case ControlKind::pictureButton: {
            auto* button = new QPushButton(designText(row), parentWidget);
            // Enter presses the focused button, as desktop users expect of a form.
            button->setAutoDefault(true);
            if (row.flags & defaultButton)
                button->setDefault(true);
            if (row.picture)
                button->setIcon(windowPicture(row.picture));
            widget = button;
            break;
        }
        case ControlKind::panel:
        case ControlKind::label: {
            auto* label = row.style == ControlStyle::M ? new MessageBar(designText(row), parentWidget)
                                                       : new QLabel(designText(row), parentWidget);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment((row.flags & rightAligned) ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignCenter);
            label->setFocusPolicy(Qt::NoFocus);
            widget = label;
            break;
        }
        case ControlKind::scrollBar: {
            auto* bar = new QScrollBar(Qt::Horizontal, parentWidget);
            bar->setRange(row.minimum, row.limit);
            bar->setSingleStep(row.step);
            bar->setPageStep(row.page);
            bar->setValue(row.value);
            // Left moves towards the minimum, as the left arrow does (Qt's scroll bar inverts it).
            bar->setInvertedControls(false);
            bar->setFocusPolicy(Qt::StrongFocus);
            bar->installEventFilter(wheelNeedsFocus);
            widget = bar;
            break;
        }
        case ControlKind::dropDown: {
            auto* list = new ValueList(parentWidget);
            list->setEditable(false);
            list->addItems(QString::fromUtf8(row.items).split(QLatin1Char('|')));
            list->setCurrentIndex(row.value);
            // The wheel neither takes the focus nor turns the list without it.
            list->setFocusPolicy(Qt::StrongFocus);
            list->installEventFilter(wheelNeedsFocus);
            widget = list;
            break;
        }
        case ControlKind::editBox: {
            auto* box = new QLineEdit(designText(row), parentWidget);
            // No character limit of Qt's: it would cut a paste before the validator could tell.
            box->setValidator(new CodePageValidator(row.limit, language, pasteTold, box));
            widget = box;
            break;
        }
        case ControlKind::checkBox: {
            auto* box = new QCheckBox(parentWidget);
            box->setChecked(row.value != 0);
            widget = box;
            break;
        }
        case ControlKind::shape:
            widget = new StatusLamp(parentWidget);
            break;
        case ControlKind::image:
            widget = new PreviewImage(row.width, row.height, parentWidget);
            break;
        case ControlKind::timer: {
            // Its interval and its Tag, the blink phase, are the form's.
            auto* timer = new QTimer(&form);
            timer->setObjectName(QString::fromLatin1(row.name));
            built.timer = timer;
            continue;
        }
        case ControlKind::fileDialog:
            // The dialog is a seam (IconFileChooser); its filter is read from the row.
            continue;
        }
        widget->setObjectName(QString::fromLatin1(row.name));
        applyControlStyle(*widget, row);
        built.widgets[row.name] = widget;
        if (row.tab != noTab && widget->focusPolicy() != Qt::NoFocus)
            tabOrder.emplace_back(row.tab, widget);
    }

    std::sort(tabOrder.begin(), tabOrder.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    zoomControls(form, built.widgets, 1.0);
    return built;
}

void zoomControls(QWidget& form, const std::map<std::string, QWidget*>& widgets, double zoom)
{
    const auto scaled = [zoom](int length) { return static_cast<int>(std::lround(length * zoom)); };
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        QWidget* widget = &form;
        if (row.kind != ControlKind::form) {
            const auto found = widgets.find(row.name);
            if (found == widgets.end())
                continue;   // the timer and the file dialog
            widget = found->second;
        }
        applyControlFont(*widget, row, zoom);
        if (row.kind == ControlKind::form) {
            form.setFixedSize(scaled(row.width), scaled(row.height));
            continue;
        }
        widget->setGeometry(scaled(row.left), scaled(row.top), scaled(row.width), scaled(row.height));
        if (row.picture) {
            const int side = std::min(24, row.height - 13);
            const QSize icon = row.style == ControlStyle::languagePicture ? QSize(34, 16) : QSize(side, side);
            static_cast<QPushButton*>(widget)->setIconSize(icon * zoom);
        }
    }
}

} // namespace tempik
