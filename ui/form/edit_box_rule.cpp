#include "ui/form/edit_box_rule.h"

#include "reader/control_values.h"

namespace tempik {

namespace {

bool isContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Bytes of the whole UTF-8 character that ends just before position.
size_t characterBefore(const std::string& text, size_t position)
{
    size_t start = position - 1;
    while (start > 0 && isContinuationByte(text[start]))
        --start;
    return position - start;
}

// Bytes of the whole UTF-8 character that starts at position.
size_t characterAt(const std::string& text, size_t position)
{
    size_t end = position + 1;
    while (end < text.size() && isContinuationByte(text[end]))
        ++end;
    return end - position;
}

} // namespace

std::string fittedText(const std::string& text, size_t limitBytes, int uiLanguage)
{
    std::string result;
    for (size_t i = 0; i < text.size();) {
        const std::string character = text.substr(i, characterAt(text, i));
        i += character.size();
        if (!editBoxTakes(character, uiLanguage))
            continue;   // a character the page lacks would be sent as "?"
        if (!fitsEditBox(result + character, limitBytes, uiLanguage))
            break;
        result += character;
    }
    return result;
}

std::optional<EditBoxText> acceptEdit(const EditBoxText& proposed, size_t limitBytes, int uiLanguage)
{
    if (!editBoxTakes(proposed.text, uiLanguage))
        return std::nullopt;
    EditBoxText result = proposed;
    while (!fitsEditBox(result.text, limitBytes, uiLanguage) && result.cursor > 0) {
        const size_t n = characterBefore(result.text, result.cursor);
        result.text.erase(result.cursor - n, n);
        result.cursor -= n;
    }
    if (!fitsEditBox(result.text, limitBytes, uiLanguage)) {
        result.text = fittedText(result.text, limitBytes, uiLanguage);
        result.cursor = 0;
    }
    return result;
}

} // namespace tempik
