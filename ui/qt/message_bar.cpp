#include "ui/qt/message_bar.h"

#include <QAccessibleWidget>

namespace tempik {

namespace {

class AccessibleMessageBar final : public QAccessibleWidget {
public:
    explicit AccessibleMessageBar(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StatusBar) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name || kind == QAccessible::Value)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

} // namespace

QAccessibleInterface* messageBarInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(MessageBar::staticMetaObject.className()) && object && object->isWidgetType())
        return new AccessibleMessageBar(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace tempik
