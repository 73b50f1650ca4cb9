#pragma once
// pnMsg: the message bar. A screen reader hears it as a status bar, whose changes ("Set Ok",
// "Set Error") it announces, rather than as one more piece of static text.
#include <QLabel>

namespace tempik {

class MessageBar final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

// Lets Qt's accessibility find the interface of MessageBar. Idempotent.
void installMessageBarAccessibility();

} // namespace tempik
