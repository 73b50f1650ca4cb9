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

} // namespace tempik
