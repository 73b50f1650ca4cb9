#include "ui/qt/value_list.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QItemSelectionModel>

namespace tempik {

ValueList::ValueList(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &ValueList::selectCurrentInPopup);
}

void ValueList::hidePopup()
{
    QComboBox::hidePopup();
    // The pointer may have left another item selected in a popup closed without a choice.
    selectCurrentInPopup();
}

// Qt selects the current item in the popup list only when the list opens, so over the
// accessibility bus a closed list had no selected item.
void ValueList::selectCurrentInPopup()
{
    view()->selectionModel()->setCurrentIndex(model()->index(currentIndex(), modelColumn(), rootModelIndex()),
                                              QItemSelectionModel::ClearAndSelect);
}

namespace {

// Over AT-SPI a text, not the value, carries what a list shows: Qt's bridge passes on only a
// number as a value. The text is read-only: no caret, no selection.
class AccessibleValueList final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleValueList(QWidget* widget) : QAccessibleWidget(widget, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(kind);
    }

    QString text(int start, int end) const override
    {
        return list()->currentText().mid(start, end < 0 ? -1 : end - start);
    }
    int characterCount() const override { return static_cast<int>(list()->currentText().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // Its popup list, as Qt's own list interface gives it: the items and the selection.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
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

} // namespace

QAccessibleInterface* valueListInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(ValueList::staticMetaObject.className()) && object && object->isWidgetType())
        return new AccessibleValueList(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace tempik
