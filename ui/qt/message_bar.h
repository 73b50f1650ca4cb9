#pragma once
// pnMsg: the message bar. A screen reader hears it as a status bar, whose changes ("Set Ok",
// "Set Error") it announces, rather than as one more piece of static text.
#include <QLabel>

class QAccessibleInterface;

namespace tempik {

class MessageBar final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

// The accessible interface of a MessageBar, for QAccessible::installFactory.
QAccessibleInterface* messageBarInterface(const QString& className, QObject* object);

} // namespace tempik
