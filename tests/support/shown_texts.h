#pragma once
// What FormShow writes in each window language: the window's texts as the operator reads them,
// for the form's tests and the Qt window's.
namespace tempik::testing {

struct ShownText {
    const char* control;   // "frmModule": the window caption
    const char* texts[3];  // English, Simplified, Traditional
};

// In the order FormShow writes them; pnKESTO (the vendor line) is checked on its own.
inline const ShownText shownTexts[] = {
    {"frmModule", {"KESTO TEMPIK Punch-card Reader Config V1.40-01", "KESTO TEMPIK-1 打卡钟设定程式 V1.40-01", "KESTO TEMPIK-1 打卡鐘設定程式 V1.40-01"}},
    {"pnMsg", {"Start Scan Punch-card Reader!", "请先扫描打卡钟!", "請先掃描打卡鐘!"}},
    {"pnSerial", {"S/N : ________", "序号 : ________", "序號 : ________"}},
    {"pnVersion", {"VER : __.__-__", "版本 : __.__-__", "版本 : __.__-__"}},
    {"lblID", {"ID:", "识别码:", "識別碼:"}},
    {"btnScan", {"&Scan Punch-card Reader", "扫描打卡钟(&S)", "掃描打卡鐘(&S)"}},
    {"btnID", {"Set &ID", "设定识别码(&I)", "設定識別碼(&I)"}},
    {"btnBaudRate", {"Set BaudRate", "设定通讯速度(&B)", "設定通訊速度(&B)"}},
    {"btnFactoryDefault", {"Set &Factory Default", "设定出厂预设值(&F)", "設定出廠預設值(&F)"}},
    {"btnExit", {"&Exit", "结束(&E)", "結束(&E)"}},
    {"btnDateTime", {"Set &Date Time", "设定日期时间(&D)", "設定日期時間(&D)"}},
    {"btnTitle", {"Set Title Text", "设定标题文字", "設定標題文字"}},
    {"lblTitle", {"Title:", "标题列:", "標題列:"}},
    {"btnTitleIcon", {"Icon Title", "图形标题", "圖形標題"}},
    {"btnLanguage", {"Set &Language", "设定语言(&L)", "設定語言(&L)"}},
    {"lblPassword", {"Password:", "密码:", "密碼:"}},
    {"btnPassword", {"Set &Password", "设定密码(&P)", "設定密碼(&P)"}},
    {"lblSound", {"Sound:", "按键声:", "按鍵聲:"}},
    {"btnVolume", {"Set &Volume", "设定音量(&V)", "設定音量(&V)"}},
    {"btnCardType", {"Set &Mode", "设定模式(&M)", "設定模式(&M)"}},
    {"btnBackLight", {"Set &BackLight", "设定背光(&K)", "設定背光(&K)"}},
    {"btnTitleMessage", {"Title Message", "设定讯息", "設定訊息"}},
    {"btnShowMessage", {"Show Message", "显示简讯", "顯示簡訊"}},
    {"btnInstall", {"Install Message", "安装位置", "安裝位置"}},
    {"btnSetTitleMode", {"Set Title Mode", "设定标题模式", "設定標題模式"}},
    {"btnWorkMode", {"Show Work Time", "工作显示时间", "工作顯示時間"}},
    {"btnIdle", {"Set Idle S&creen", "设定闲置画面(&C)", "設定閒置畫面(&C)"}},
};

} // namespace tempik::testing
