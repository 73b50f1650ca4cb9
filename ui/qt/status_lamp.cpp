#include "ui/qt/status_lamp.h"

#include <QPainter>

#include <algorithm>

namespace tempik {

StatusLamp::StatusLamp(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void StatusLamp::setColour(LampColour colour)
{
    if (colour_ == colour)
        return;
    colour_ = colour;
    update();
}

QColor StatusLamp::fill() const
{
    return colour_ == LampColour::yellow ? QColor(255, 255, 0) : QColor(255, 0, 0);
}

void StatusLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fill());
    // As high as its box, centred; the half-pixel keeps the 1-pixel outline sharp.
    const qreal diameter = std::min(width(), height());
    const qreal left = (width() - diameter) / 2.0;
    const qreal top = (height() - diameter) / 2.0;
    painter.drawEllipse(QRectF(left + 0.5, top + 0.5, diameter - 1, diameter - 1));
}

} // namespace tempik
