// The native window under Wine: every child window against the control table (class, place and
// size at 96 and 192 DPI, tab order, default button, state at start-up) and its texts in the
// three languages.
#include "tests/support/fake_clock.h"
#include "tests/support/fake_device.h"
#include "texts/text_table.h"
#include "ui/form/control_table.h"
#include "ui/win32/frm_module.h"
#include "link/wide_text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace tempik;
using namespace tempik::testing;

namespace {

struct Child {
    HWND window;
    std::string className;
    RECT place;   // in the parent's client area
};

BOOL CALLBACK collect(HWND child, LPARAM into)
{
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    const int id = GetDlgCtrlID(child);
    auto& children = *reinterpret_cast<std::map<std::string, Child>*>(into);
    if (id >= 1000 && id < 1000 + static_cast<int>(controlCount))
        children[controlTable[id - 1000].name] = {child, utf8FromWide(className), place};
    return TRUE;
}

std::map<std::string, Child> childrenOf(const NativeWindow& window)
{
    std::map<std::string, Child> children;
    EnumChildWindows(window.handle(), collect, reinterpret_cast<LPARAM>(&children));
    return children;
}

const char* expectedClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::button:
    case ControlKind::pictureButton:
    case ControlKind::checkBox: return "Button";
    case ControlKind::panel:
    case ControlKind::label: return "Static";
    case ControlKind::scrollBar: return "ScrollBar";
    case ControlKind::dropDown: return "ComboBox";
    case ControlKind::editBox: return "Edit";
    case ControlKind::shape: return "TempikLamp";
    case ControlKind::image: return "TempikPreview";
    default: return nullptr;
    }
}

// The settings the window starts from, and what it saves.
class MemoryStore final : public SettingsStore {
public:
    explicit MemoryStore(std::string languageFlag) : languageFlag_(std::move(languageFlag)) {}
    void loadSettings(Settings& settings) const override
    {
        settings = Settings{};
        settings.LanguageFlag = languageFlag_;
        settings.uiLanguage = uiLanguageFromFlag(languageFlag_);
    }
    bool saveLinkSettings(const LinkSettings&) const override { return true; }
    bool saveLanguageFlag(const std::string& flag) const override
    {
        languageFlag_ = flag;
        return true;
    }
    std::string location() const override { return "memory"; }
    mutable std::string languageFlag_;
};

class SilentTone final : public Tone {
public:
    void playTone(int, int) override {}
};

// The window on fakes: no port, no registry, no sound.
struct WindowRig {
    explicit WindowRig(const std::string& languageFlag = "English", int dpi = 96)
        : store(languageFlag), frmModule(GetModuleHandleW(nullptr), {device, clock, ports, store, tone}, dpi)
    {
    }
    FakeClock clock;
    FakeDevice device{clock};
    PathPortMap ports;
    MemoryStore store;
    SilentTone tone;
    TfrmModule frmModule;
    NativeWindow& window = frmModule.view();
};

std::wstring shown(HWND control)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<std::wstring> itemsOf(HWND list)
{
    std::vector<std::wstring> items;
    const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(item);
    }
    return items;
}

class WindowLayout : public ::testing::TestWithParam<int> {};

TEST_P(WindowLayout, EveryControlHasItsClassPlaceAndSizeScaledByTheDpi)
{
    const int dpi = GetParam();
    WindowRig rig("English", dpi);
    NativeWindow& window = rig.window;
    const auto children = childrenOf(window);
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    size_t expected = 0;
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        if (!expectedClass(row.kind))
            continue;
        ++expected;
        SCOPED_TRACE(row.name);
        const auto found = children.find(row.name);
        ASSERT_NE(found, children.end());
        const Child& child = found->second;
        EXPECT_EQ(child.className, expectedClass(row.kind));
        EXPECT_EQ(GetParent(child.window), window.control(row.parent ? row.parent : "frmModule"));
        const RECT& place = child.place;
        EXPECT_EQ(std::vector<long>({place.left, place.top, place.right - place.left, place.bottom - place.top}),
                  std::vector<long>({scaled(row.left), scaled(row.top), scaled(row.width), scaled(row.height)}));
        EXPECT_TRUE(IsWindowEnabled(child.window));
    }
    EXPECT_EQ(children.size(), expected);
    RECT client;
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, scaled(712));
    EXPECT_EQ(client.bottom, scaled(539));
    // A fixed frame with no maximise box.
    const LONG_PTR style = GetWindowLongPtrW(window.handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
}

INSTANTIATE_TEST_SUITE_P(Dpi, WindowLayout, ::testing::Values(96, 192));

TEST(WindowLayout, ShrinksInQuarterStepsWhereItsFrameCannotFitAtItsDpi)
{
    WindowRig rig("English", 192);
    NativeWindow& window = rig.window;
    window.shrinkToFit(RECT{0, 0, 1280, 1024});   // 2x does not fit; 1.75x, 168 DPI, does
    RECT client;
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(std::vector<long>({client.right, client.bottom}), std::vector<long>({1246, 943}));
    const SIZE frame = window.frameSize();
    EXPECT_LE(frame.cx, 1280);
    EXPECT_LE(frame.cy, 1024);
    RECT scan;
    GetWindowRect(window.control("btnScan"), &scan);
    EXPECT_EQ(scan.right - scan.left, MulDiv(345, 168, 96));
}

TEST(WindowLayout, TabGoesThroughTheControlsInTheTablesOrderFromTheDefaultButton)
{
    WindowRig rig;
    NativeWindow& window = rig.window;
    std::vector<std::pair<int, std::string>> byTab;
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        const bool focusable = row.kind == ControlKind::button || row.kind == ControlKind::pictureButton
                               || row.kind == ControlKind::editBox || row.kind == ControlKind::dropDown
                               || row.kind == ControlKind::scrollBar || row.kind == ControlKind::checkBox;
        if (focusable && row.tab != noTab)
            byTab.emplace_back(row.tab, row.name);
    }
    std::sort(byTab.begin(), byTab.end());
    std::vector<std::string> expected;
    for (const auto& [tab, name] : byTab)
        expected.push_back(name);

    std::vector<std::string> walked;
    HWND at = window.control(expected.front());
    for (size_t i = 0; i < expected.size(); ++i) {
        walked.push_back(controlTable[GetDlgCtrlID(at) - 1000].name);
        at = GetNextDlgTabItem(window.handle(), at, FALSE);
    }
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(at, window.control(expected.front())) << "Tab wraps round to the first control";

    const LRESULT defaultId = SendMessageW(window.handle(), DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(defaultId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defaultId), GetDlgCtrlID(window.control("btnScan")));
    EXPECT_EQ(GetWindowLongPtrW(window.control("btnScan"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

class WindowTexts : public ::testing::TestWithParam<int> {};

// Every text FormShow writes reaches its control as the table's text in the start language,
// converted from the language's code page; the lists keep their designed items.
TEST_P(WindowTexts, FormShowWritesTheStartLanguagesTextsIntoTheNativeControls)
{
    const int language = GetParam();
    WindowRig rig(languageFlagFor(language));
    rig.frmModule.show();
    for (size_t i = 0; i < formShowCount; ++i) {
        const ControlRow* row = findControl(formShowOrder[i]);
        SCOPED_TRACE(row->name);
        EXPECT_EQ(utf8FromWide(shown(rig.window.control(row->name))), text(row->entry, language) + row->text);
    }
    EXPECT_EQ(utf8FromWide(shown(rig.window.control("pnID"))), "0000");
    EXPECT_EQ(utf8FromWide(shown(rig.window.control("edTitle"))), "KESTO Technology");
    EXPECT_EQ(itemsOf(rig.window.control("cmbLanguage")),
              (std::vector<std::wstring>{L"English", L"Traditional Chinese", L"Simplified Chinese"}));
    EXPECT_EQ(SendMessageW(rig.window.control("cmbBaudRate"), CB_GETCURSEL, 0, 0), 5);
    EXPECT_TRUE(IsWindowEnabled(rig.window.handle()));
    EXPECT_TRUE(IsWindowVisible(rig.window.handle()));
}

INSTANTIATE_TEST_SUITE_P(Language, WindowTexts, ::testing::Values(english, simplifiedChinese, traditionalChinese));

// A language button pressed on the native control switches the texts and the display language list.
TEST(WindowTexts, TheSimplifiedButtonSwitchesTheWindowToChinese)
{
    WindowRig rig;
    rig.frmModule.show();
    SendMessageW(rig.window.control("btnGB"), BM_CLICK, 0, 0);
    EXPECT_EQ(rig.store.languageFlag_, "ChineseGB");
    EXPECT_EQ(utf8FromWide(shown(rig.window.control("btnScan"))), text(txtScanReader, simplifiedChinese));
    EXPECT_EQ(utf8FromWide(shown(rig.window.handle())), text(txtWindowCaption, simplifiedChinese));
    const auto items = displayLanguageItems(simplifiedChinese);
    EXPECT_EQ(itemsOf(rig.window.control("cmbLanguage")),
              (std::vector<std::wstring>{wideFromUtf8(items[0]), wideFromUtf8(items[1]), wideFromUtf8(items[2])}));
    EXPECT_EQ(SendMessageW(rig.window.control("cmbLanguage"), CB_GETCURSEL, 0, 0), 2);
}

} // namespace
