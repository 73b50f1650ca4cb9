#include "ui/qt/focus_aids.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace tempik {

namespace {
// Two pixels of orange show against the value fields' highlight blue and the buttons' grey.
const QColor markColour(255, 128, 0);
constexpr int markWidth = 2;
} // namespace

FocusMark::FocusMark(QWidget& form) : QWidget(&form), form_(form)
{
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusMark::follow(QWidget* focused)
{
    if (!focused || focused->parentWidget() != &form_ || focused == this) {
        hide();
        return;
    }
    setGeometry(focused->geometry());
    raise();
    show();
}

void FocusMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(markColour, markWidth));
    painter.drawRect(QRectF(rect()).adjusted(markWidth / 2.0, markWidth / 2.0, -markWidth / 2.0, -markWidth / 2.0));
}

bool WheelNeedsFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel && watched->isWidgetType() && !static_cast<QWidget*>(watched)->hasFocus()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tempik
