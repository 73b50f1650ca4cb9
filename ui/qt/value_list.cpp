#include "ui/qt/value_list.h"

#include <QAccessibleWidget>

namespace tempik {

namespace {

class AccessibleValueList final : public QAccessibleWidget {
public:
    explicit AccessibleValueList(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << showMenuAction(); }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* valueListInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(ValueList::staticMetaObject.className()) && object && object->isWidgetType())
        return new AccessibleValueList(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void installValueListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(valueListInterface);
        return true;
    }();
    (void)installed;
}

} // namespace tempik
