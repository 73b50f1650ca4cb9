#pragma once
// Help for the operator who works with the keyboard: a mark around the control that has the
// focus, whatever its kind (a styled list or a scroll bar draws none of its own), and a wheel
// that turns a list or the scroll bar only when it has the focus, never by a resting pointer.
#include <QWidget>

namespace tempik {

// A frame drawn over the focused control of form, on top of the controls and blind to the
// mouse; hidden while no control of form has the focus, so no control's own look changes.
class FocusMark final : public QWidget {
    Q_OBJECT
public:
    explicit FocusMark(QWidget& form);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* focused);
    QWidget& form_;
};

// Installed on a widget: a wheel turn reaches it only while it has the focus.
class WheelNeedsFocus final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tempik
