#pragma once
// shComm: the link lamp at the right end of the message bar, a circle 20 pixels across with a
// thin black outline whose fill is red or yellow.
#include "reader/feedback.h"

#include <QWidget>

namespace tempik {

class StatusLamp final : public QWidget {
    Q_OBJECT
public:
    explicit StatusLamp(QWidget* parent = nullptr);

    void setColour(LampColour colour);
    LampColour colour() const { return colour_; }
    QColor fill() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LampColour colour_ = LampColour::red;
};

} // namespace tempik
