#include "ui/window/code_page_validator.h"

#include "reader/control_values.h"

namespace tempik {

namespace {

// UTF-16 units of the whole character that ends just before position.
int characterBefore(const QString& text, int position)
{
    return position >= 2 && text.at(position - 1).isLowSurrogate() && text.at(position - 2).isHighSurrogate() ? 2 : 1;
}

} // namespace

CodePageValidator::CodePageValidator(int limitBytes, std::function<int()> language, QObject* parent)
    : QValidator(parent), limit_(limitBytes), language_(std::move(language))
{
}

bool CodePageValidator::fits(const QString& text) const
{
    return fitsEditBox(text.toStdString(), static_cast<size_t>(limit_), language_());
}

QValidator::State CodePageValidator::validate(QString& input, int& position) const
{
    if (!editBoxTakes(input.toStdString(), language_()))
        return Invalid;
    // The box's character limit lets through more than fits in bytes of a double-byte page:
    // what was just inserted loses whole characters from its end, before the cursor.
    while (!fits(input) && position > 0) {
        const int n = characterBefore(input, position);
        input.remove(position - n, n);
        position -= n;
    }
    if (!fits(input))
        input = fitted(input);
    return Acceptable;
}

QString CodePageValidator::fitted(const QString& text) const
{
    QString result;
    // Whole characters only: a surrogate pair goes in or out together.
    for (int i = 0; i < text.size();) {
        const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, n);
        i += n;
        if (!editBoxTakes(character.toStdString(), language_()))
            continue;   // a character the page lacks would be sent as "?"
        const QString longer = result + character;
        if (!fits(longer))
            break;
        result = longer;
    }
    return result;
}

} // namespace tempik
