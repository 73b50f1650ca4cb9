#include "ui/window/code_page_validator.h"

#include "reader/control_values.h"

namespace tempik {

CodePageValidator::CodePageValidator(int limitBytes, std::function<int()> language, QObject* parent)
    : QValidator(parent), limit_(limitBytes), language_(std::move(language))
{
}

bool CodePageValidator::fits(const QString& text) const
{
    return fitsEditBox(text.toStdString(), static_cast<size_t>(limit_), language_());
}

QValidator::State CodePageValidator::validate(QString& input, int&) const
{
    return fits(input) ? Acceptable : Invalid;
}

QString CodePageValidator::fitted(const QString& text) const
{
    QString result;
    // Whole characters only: a surrogate pair goes in or out together.
    for (int i = 0; i < text.size();) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString longer = result + text.mid(i, n);
        if (!fits(longer))
            break;
        result = longer;
        i += n;
    }
    return result;
}

} // namespace tempik
