#include "ui/qt/code_page_validator.h"

#include "ui/form/edit_box_rule.h"

#include <QLineEdit>

namespace tempik {

CodePageValidator::CodePageValidator(int limitBytes, std::function<int()> language,
                                     std::function<void(bool refused)> pasteTold, QObject* parent)
    : QValidator(parent), limit_(limitBytes), language_(std::move(language)), pasteTold_(std::move(pasteTold))
{
    // The box shows the proposed text while it is validated: its text before comes from here.
    if (auto* box = qobject_cast<QLineEdit*>(parent)) {
        before_ = box->text();
        connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
    }
}

QValidator::State CodePageValidator::validate(QString& input, int& position) const
{
    // Qt counts the cursor in UTF-16 units, the form in UTF-8 bytes.
    const size_t cursor = static_cast<size_t>(input.left(position).toUtf8().size());
    bool cut = false;
    const auto accepted = acceptEdit({input.toStdString(), cursor}, static_cast<size_t>(limit_), language_(), &cut);
    // More than one character more than before is a paste (or an input method's whole word).
    const bool paste = input.size() > before_.size() + 1;
    if (paste && (!accepted || cut) && pasteTold_)
        pasteTold_(!accepted);
    if (!accepted)
        return Invalid;
    input = QString::fromStdString(accepted->text);
    position = QString::fromUtf8(accepted->text.data(), static_cast<int>(accepted->cursor)).size();
    return Acceptable;
}

} // namespace tempik
