#include "ui/form/window_texts.h"

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
    // Not a reader's text: a port the system refused to open for lack of permission is this
    // platform's matter, and the remedy must reach the operator in the window's language.
    {"No reader was found. These ports could not be opened for lack of permission:\n%1\nAdd your user to the group of the device (usually dialout):\n    sudo usermod -aG dialout $USER\nthen log out and in again.",
     "\u672a\u627e\u5230\u6253\u5361\u949f\u3002\u4ee5\u4e0b\u4e32\u53e3\u56e0\u6743\u9650\u4e0d\u8db3\u65e0\u6cd5\u6253\u5f00\uff1a\n%1\n\u8bf7\u5c06\u60a8\u7684\u7528\u6237\u52a0\u5165\u8bbe\u5907\u6240\u5c5e\u7684\u7ec4\uff08\u901a\u5e38\u4e3a dialout\uff09\uff1a\n    sudo usermod -aG dialout $USER\n\u7136\u540e\u6ce8\u9500\u5e76\u91cd\u65b0\u767b\u5f55\u3002",
     "\u672a\u627e\u5230\u6253\u5361\u9418\u3002\u4ee5\u4e0b\u4e32\u53e3\u56e0\u6b0a\u9650\u4e0d\u8db3\u7121\u6cd5\u958b\u555f\uff1a\n%1\n\u8acb\u5c07\u60a8\u7684\u4f7f\u7528\u8005\u52a0\u5165\u88dd\u7f6e\u6240\u5c6c\u7684\u7fa4\u7d44\uff08\u901a\u5e38\u70ba dialout\uff09\uff1a\n    sudo usermod -aG dialout $USER\n\u7136\u5f8c\u767b\u51fa\u4e26\u91cd\u65b0\u767b\u5165\u3002"},
    {"Line definition", "通讯设定", "通訊設定"},
    {"Reader display language", "打卡钟显示语言", "打卡鐘顯示語言"},
    {"Hour display", "时间显示格式", "時間顯示格式"},
    {"Card type", "卡片类型", "卡片類型"},
    {"Title mode", "标题模式", "標題模式"},
    {"Idle screen", "闲置画面", "閒置畫面"},
    {"Link lamp", "连线指示灯", "連線指示燈"},
    {"Icon title preview", "图形标题预览", "圖形標題預覽"},
    {"The pasted text was not taken: it holds a control character or one this language cannot show.",
     "贴上的文字未被接受：其中含有控制字元或此语言无法显示的字。",
     "貼上的文字未被接受：其中含有控制字元或此語言無法顯示的字。"},
    {"The pasted text was cut to fit the box.", "贴上的文字已被截短以符合文字框。", "貼上的文字已被截短以符合文字框。"},
    {"The reader now answers at %1, but this port is a raw network connection (socket://), which cannot follow it.\nChange the serial device server's own line to %1 to reach the reader again.",
     "打卡钟现在使用 %1，但此串口是原始网络连接（socket://），无法随之更改。\n请将串口服务器本身的通讯设定改为 %1，才能再次连上打卡钟。",
     "打卡鐘現在使用 %1，但此串口是原始網路連線（socket://），無法隨之變更。\n請將串口伺服器本身的通訊設定改為 %1，才能再次連上打卡鐘。"},
};

} // namespace

std::string windowText(WindowText which, int uiLanguage)
{
    return windowTexts[static_cast<int>(which)][uiLanguage];
}

std::string windowText(WindowText which, int uiLanguage, const std::string& argument)
{
    std::string result = windowText(which, uiLanguage);
    for (size_t at = result.find("%1"); at != std::string::npos; at = result.find("%1", at + argument.size()))
        result.replace(at, 2, argument);
    return result;
}

} // namespace tempik
