#pragma once
// imgTitle: the image box that shows the graphic title at double size. Its picture is a
// drawing surface with a pen colour and rectangles whose inside stays white.
#include "reader/feedback.h"

#include <QImage>
#include <QWidget>

namespace tempik {

class PreviewImage final : public QWidget, public PreviewCanvas {
    Q_OBJECT
public:
    PreviewImage(int width, int height, QWidget* parent = nullptr);

    void setPenBlack(bool black) override;
    void rectangle(int left, int top, int right, int bottom) override;

    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QColor pen_ = Qt::black;
};

} // namespace tempik
