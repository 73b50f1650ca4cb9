#include "reader/operation_values.h"

#include "reader/commands.h"
#include "reader/control_values.h"
#include "texts/code_page.h"

namespace tempik {

namespace {

std::string withoutControlBytes(std::string bytes)
{
    for (char& b : bytes)
        if (isControlByte(static_cast<unsigned char>(b)))
            b = '?';
    return bytes;
}

// Bytes of the UTF-8 character starting at text[i]; a stray byte counts as one character.
size_t utf8CharacterLength(const std::string& text, size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (i + length > text.size())
        return 1;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 1;
    return length;
}

} // namespace

std::string typedTextBytes(const std::string& utf8, int uiLanguage)
{
    return withoutControlBytes(toCodePage(utf8, uiLanguage));
}

std::string fieldTextBytes(const std::string& utf8, size_t width, int uiLanguage)
{
    const std::string whole = typedTextBytes(utf8, uiLanguage);
    if (whole.size() <= width)
        return whole;
    // Too long: take characters one by one while their bytes still fit.
    std::string fitted;
    for (size_t i = 0; i < utf8.size();) {
        const size_t length = utf8CharacterLength(utf8, i);
        const std::string bytes = typedTextBytes(utf8.substr(i, length), uiLanguage);
        if (fitted.size() + bytes.size() > width)
            break;
        fitted += bytes;
        i += length;
    }
    return fitted;
}

std::string statusSerialNumber(const std::string& replyText)
{
    // It goes back to the reader in a payload: the reader's bytes obey the typed texts' rule.
    return withoutControlBytes(replyField(replyText, serialNumberField));
}

} // namespace tempik
