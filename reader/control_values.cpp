#include "reader/control_values.h"

#include "texts/code_page.h"

namespace tempik {

bool hasControlCharacter(const std::string& text)
{
    for (unsigned char c : text)
        if (isControlByte(c))
            return true;
    return false;
}

bool editBoxTakes(const std::string& utf8, int uiLanguage)
{
    return !hasControlCharacter(utf8) && codePageHolds(utf8, uiLanguage);
}

bool fitsEditBox(const std::string& utf8, size_t limitBytes, int uiLanguage)
{
    return editBoxTakes(utf8, uiLanguage) && codePageLength(utf8, uiLanguage) <= limitBytes;
}

} // namespace tempik
