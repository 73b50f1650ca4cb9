#include "ui/qt/preview_image.h"

#include <QPainter>

namespace tempik {

PreviewImage::PreviewImage(int width, int height, QWidget* parent)
    : QWidget(parent), picture_(width, height, QImage::Format_RGB32)
{
    picture_.fill(Qt::white);
}

void PreviewImage::setPenBlack(bool black)
{
    pen_ = black ? QColor(Qt::black) : QColor(Qt::white);
}

void PreviewImage::rectangle(int left, int top, int right, int bottom)
{
    const int w = right - left;
    const int h = bottom - top;
    if (w <= 0 || h <= 0)
        return;
    QPainter painter(&picture_);
    // Inside white, then a one-pixel outline in the pen colour; right and bottom edges are
    // excluded, so a 2 x 2 rectangle is all outline.
    painter.fillRect(QRect(left, top, w, h), Qt::white);
    painter.fillRect(QRect(left, top, w, 1), pen_);
    painter.fillRect(QRect(left, bottom - 1, w, 1), pen_);
    painter.fillRect(QRect(left, top, 1, h), pen_);
    painter.fillRect(QRect(right - 1, top, 1, h), pen_);
    update();
}

void PreviewImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The picture keeps the reader's pixels; a window shrunk to fit its screen shrinks the view.
    painter.drawImage(rect(), picture_);
}

} // namespace tempik
