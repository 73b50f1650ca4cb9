#pragma once
// The window's drop-down lists. Qt's own accessible interface of a list names it, on Linux,
// after its current item and leaves the rest to a label's relation; these lists have a button
// rather than a label beside them, so theirs says the name the window gives them, with the
// current item as its value and its text and, as Qt's own, the popup list (items, selection)
// as its child.
#include <QComboBox>

class QAccessibleInterface;

namespace tempik {

class ValueList final : public QComboBox {
    Q_OBJECT
public:
    explicit ValueList(QWidget* parent = nullptr);

    void hidePopup() override;

private:
    void selectCurrentInPopup();
};

// The accessible interface of a ValueList, for QAccessible::installFactory.
QAccessibleInterface* valueListInterface(const QString& className, QObject* object);

} // namespace tempik
