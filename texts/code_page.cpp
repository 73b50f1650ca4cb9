#include "texts/code_page.h"

#include "texts/text_table.h"

namespace tempik {

const char* codePageName(int uiLanguage)
{
    switch (uiLanguage) {
    case simplifiedChinese: return "GBK";
    case traditionalChinese: return "BIG5";
    default: return "CP1252";
    }
}

size_t codePageLength(const std::string& utf8, int uiLanguage)
{
    return toCodePage(utf8, uiLanguage).size();
}

bool codePageHolds(const std::string& utf8, int uiLanguage)
{
    // A character the page lacks comes back as "?", and a "?" typed as such comes back as itself.
    return fromCodePage(toCodePage(utf8, uiLanguage), uiLanguage) == utf8;
}

} // namespace tempik
