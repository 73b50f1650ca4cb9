#include "ui/qt/code_page_validator.h"

#include "ui/form/edit_box_rule.h"

namespace tempik {

CodePageValidator::CodePageValidator(int limitBytes, std::function<int()> language, QObject* parent)
    : QValidator(parent), limit_(limitBytes), language_(std::move(language))
{
}

QValidator::State CodePageValidator::validate(QString& input, int& position) const
{
    // Qt counts the cursor in UTF-16 units, the form in UTF-8 bytes.
    const size_t cursor = static_cast<size_t>(input.left(position).toUtf8().size());
    const auto accepted = acceptEdit({input.toStdString(), cursor}, static_cast<size_t>(limit_), language_());
    if (!accepted)
        return Invalid;
    input = QString::fromStdString(accepted->text);
    position = QString::fromUtf8(accepted->text.data(), static_cast<int>(accepted->cursor)).size();
    return Acceptable;
}

} // namespace tempik
