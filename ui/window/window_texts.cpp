#include "ui/window/window_texts.h"

#include "texts/text_table.h"

namespace tempik {

namespace {

// English, Simplified Chinese, Traditional Chinese; in the order of WindowText.
constexpr const char* windowTexts[][uiLanguageCount] = {
    {"The settings could not be saved in %1.\nThey will not be remembered when the program starts again.",
     "无法将设置保存到 %1。\n程序再次启动时将不会记住这些设置。",
     "無法將設定儲存到 %1。\n程式再次啟動時將不會記住這些設定。"},
    {"Texts too long for this language were shortened: check the text boxes.",
     "部分文字超出此语言的长度，已被截短，请检查文字框。",
     "部分文字超出此語言的長度，已被截短，請檢查文字框。"},
    {"Scan at this line definition only",
     "只用此通讯设定扫描",
     "只用此通訊設定掃描"},
    {"Ticked: the scan tries every port only at the line definition beside it.\nNot ticked: at all 14.",
     "勾选：扫描时每个串口只尝试旁边的通讯设定。\n不勾选：尝试全部 14 种。",
     "勾選：掃描時每個串口只嘗試旁邊的通訊設定。\n不勾選：嘗試全部 14 種。"},
    {"Clear the title message", "清除设定讯息", "清除設定訊息"},
    {"Clear the install message", "清除安装位置", "清除安裝位置"},
    {"Clear the title text", "清除标题文字", "清除標題文字"},
};

} // namespace

QString windowText(WindowText which, int uiLanguage)
{
    return QString::fromUtf8(windowTexts[static_cast<int>(which)][uiLanguage]);
}

} // namespace tempik
