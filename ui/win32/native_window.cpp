#include "ui/win32/native_window.h"

#include "ui/form/control_table.h"
#include "ui/form/window_placement.h"
#include "ui/form/window_texts.h"
#include "ui/win32/edit_box_rule.h"
#include "ui/win32/picture_resources.h"
#include "link/wide_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <initguid.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace tempik {

namespace {

constexpr const wchar_t* windowClassName = L"TempikConfigWindow";
constexpr UINT_PTR busyTimerId = 1;
constexpr int firstControlId = 1000;
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

const char* const tableWindow = "frmModule";

int controlId(const ControlRow& row)
{
    return firstControlId + static_cast<int>(&row - controlTable);
}

// The control's text as the window is designed, before FormShow writes the language's.
std::string designText(const ControlRow& row)
{
    return row.entry == noEntry ? std::string(row.text) : std::string();
}

int pictureId(const char* picture)
{
    struct Named {
        const char* name;
        int id;
    };
    static constexpr Named pictures[] = {
        {"magnifier", TEMPIK_ICON_MAGNIFIER}, {"badge", TEMPIK_ICON_BADGE},
        {"eraser", TEMPIK_ICON_ERASER},       {"close", TEMPIK_ICON_CLOSE},
        {"simplified", TEMPIK_ICON_SIMPLIFIED}, {"traditional", TEMPIK_ICON_TRADITIONAL},
        {"window_icon", TEMPIK_ICON_WINDOW},
    };
    for (const Named& named : pictures)
        if (std::strstr(picture, named.name))
            return named.id;
    return 0;
}

bool takesFocus(ControlKind kind)
{
    switch (kind) {
    case ControlKind::button:
    case ControlKind::pictureButton:
    case ControlKind::editBox:
    case ControlKind::dropDown:
    case ControlKind::scrollBar:
    case ControlKind::checkBox:
        return true;
    default:
        return false;
    }
}

struct ClassAndStyle {
    const wchar_t* className;
    DWORD style;
};

ClassAndStyle classAndStyle(const ControlRow& row)
{
    const DWORD tab = row.tab != noTab && takesFocus(row.kind) ? WS_TABSTOP : 0;
    switch (row.kind) {
    case ControlKind::button:
    case ControlKind::pictureButton: {
        DWORD style = (row.flags & defaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (row.style == ControlStyle::englishButton)
            style = BS_OWNERDRAW;   // a push button's text colour is the system's
        else if (row.kind == ControlKind::pictureButton && row.entry == noEntry && !*row.text)
            style |= BS_ICON;
        return {WC_BUTTONW, style | tab};
    }
    case ControlKind::checkBox:
        return {WC_BUTTONW, BS_AUTOCHECKBOX | tab};
    case ControlKind::panel:
        return {WC_STATICW, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | WS_BORDER | WS_CLIPCHILDREN};
    case ControlKind::label:
        return {WC_STATICW, static_cast<DWORD>(((row.flags & rightAligned) ? SS_RIGHT : SS_LEFT) | SS_CENTERIMAGE | SS_NOPREFIX)};
    case ControlKind::scrollBar:
        return {WC_SCROLLBARW, SBS_HORZ | tab};
    case ControlKind::dropDown:
        return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | tab};
    case ControlKind::editBox:
        return {WC_EDITW, ES_AUTOHSCROLL | WS_BORDER | tab};
    case ControlKind::shape:
        return {lampClassName, 0};
    case ControlKind::image:
        return {previewClassName, 0};
    default:
        return {nullptr, 0};
    }
}

std::vector<std::string> splitItems(const char* items)
{
    std::vector<std::string> result;
    if (!items)
        return result;
    std::string rest = items;
    for (size_t bar; (bar = rest.find('|')) != std::string::npos; rest.erase(0, bar + 1))
        result.push_back(rest.substr(0, bar));
    result.push_back(rest);
    return result;
}

void registerWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = windowClassName;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(TEMPIK_ICON_WINDOW));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(TEMPIK_ICON_WINDOW), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    RegisterClassExW(&windowClass);
}

} // namespace

NativeWindow::NativeWindow(HINSTANCE instance, int dpi)
    : instance_(instance), fixedDpi_(dpi != 0), dpi_(dpi ? dpi : 96),
      preview_(findControl("imgTitle")->width, findControl("imgTitle")->height)
{
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    registerWindowClass(instance, procedure);
    registerDrawnControlClasses(instance);
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, windowClassName, L"", windowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              100, 100, nullptr, nullptr, instance, this);
    if (!window_)
        throw std::runtime_error("The window could not be created.");
    if (!fixedDpi_)
        dpi_ = static_cast<int>(GetDpiForWindow(window_));
    look_ = std::make_unique<ControlLook>(dpi_);
    createControls();
    layOut();
    removeCloseEntry();
}

NativeWindow::~NativeWindow()
{
    if (accessibility_) {
        for (const auto& [name, spoken] : accessibleNames_) {
            MSAAPROPID property = PROPID_ACC_NAME;
            accessibility_->ClearHwndProps(control(name), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property, 1);
        }
    }
    setWaitCursor(false);
    if (window_)
        DestroyWindow(window_);
    for (HICON picture : pictures_)
        DestroyIcon(picture);
}

HWND NativeWindow::control(const std::string& name) const
{
    if (name == tableWindow)
        return window_;
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

const ControlRow* NativeWindow::rowOf(HWND control) const
{
    const auto found = rows_.find(control);
    return found == rows_.end() ? nullptr : found->second;
}

void NativeWindow::createControls()
{
    // Dialog navigation follows the order of creation: the tab order of the table.
    std::vector<const ControlRow*> ordered;
    for (size_t i = 0; i < controlCount; ++i)
        ordered.push_back(&controlTable[i]);
    std::stable_sort(ordered.begin(), ordered.end(), [](const ControlRow* a, const ControlRow* b) {
        return (a->tab == noTab ? 1000 : a->tab) < (b->tab == noTab ? 1000 : b->tab);
    });
    for (const ControlRow* row : ordered) {
        const ClassAndStyle kind = classAndStyle(*row);
        if (!kind.className)
            continue;   // the form, the timer and the file dialog are no child windows
        HWND parent = row->parent ? control(row->parent) : window_;
        HWND child = CreateWindowExW(0, kind.className, wideFromUtf8(designText(*row)).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, 0, 0, 10, 10, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(*row))), instance_, nullptr);
        controls_[row->name] = child;
        rows_[child] = row;
        switch (row->kind) {
        case ControlKind::dropDown:
            setItems(row->name, splitItems(row->items));
            select(row->name, row->value);
            break;
        case ControlKind::scrollBar: {
            SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE, row->minimum, row->limit, 0, row->value, 0};
            SetScrollInfo(child, SB_CTL, &info, FALSE);
            break;
        }
        case ControlKind::checkBox:
            SendMessageW(child, BM_SETCHECK, row->value ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case ControlKind::editBox:
            applyEditBoxRule(child, row->limit, [this] { return events_.language ? events_.language() : 0; });
            break;
        case ControlKind::image:
            preview_.attach(child);
            SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&preview_));
            break;
        default:
            break;
        }
    }
}

void NativeWindow::layOut()
{
    for (HICON picture : pictures_)
        DestroyIcon(picture);
    pictures_.clear();
    for (const auto& [child, row] : rows_) {
        int height = scaled(row->height);
        if (row->kind == ControlKind::dropDown)
            height += scaled(200);   // the list when it drops down
        SetWindowPos(child, nullptr, scaled(row->left), scaled(row->top), scaled(row->width), height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(look_->font(row->style)), FALSE);
        // The closed list is as high as the table says: its selection field is set to fit, by
        // what the system adds around it (measured, since the frame need not grow alike).
        if (row->kind == ControlKind::dropDown) {
            int field = scaled(row->height) - scaled(6);
            for (int round = 0; round < 3; ++round) {
                SendMessageW(child, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(field, 1));
                RECT shown;
                GetWindowRect(child, &shown);
                const int missing = scaled(row->height) - (shown.bottom - shown.top);
                if (missing == 0)
                    break;
                field += missing;
            }
        }
        if (row->picture) {
            const int id = pictureId(row->picture);
            const bool wide = row->style == ControlStyle::languagePicture;
            const int side = std::min(24, row->height - 13);
            auto* picture = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                                          scaled(wide ? 34 : side), scaled(wide ? 16 : side), 0));
            if (picture) {
                pictures_.push_back(picture);
                SendMessageW(child, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture));
            }
        }
    }
    const ControlRow* form = findControl(tableWindow);
    RECT frame{0, 0, scaled(form->width), scaled(form->height)};
    // The frame (title bar, borders) is the system's at the window's own DPI.
    AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, WS_EX_CONTROLPARENT, GetDpiForWindow(window_));
    wantedFrame_ = {frame.right - frame.left, frame.bottom - frame.top};
    SetWindowPos(window_, nullptr, 0, 0, wantedFrame_.cx, wantedFrame_.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void NativeWindow::setText(const char* name, const std::string& utf8)
{
    SetWindowTextW(control(name), wideFromUtf8(utf8).c_str());
}

std::string NativeWindow::text(const char* name)
{
    HWND target = control(name);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(target)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(target, text.data(), static_cast<int>(text.size()))));
    return utf8FromWide(text);
}

void NativeWindow::setItems(const char* name, const std::vector<std::string>& items)
{
    HWND list = control(name);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(item).c_str()));
}

void NativeWindow::select(const char* name, int index)
{
    HWND target = control(name);
    const ControlRow* row = rowOf(target);
    switch (row->kind) {
    case ControlKind::scrollBar:
        setScrollPosition(target, *row, index);
        break;
    case ControlKind::checkBox:
        SendMessageW(target, BM_SETCHECK, index ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    default:
        SendMessageW(target, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        break;
    }
}

int NativeWindow::selected(const char* name)
{
    HWND target = control(name);
    switch (rowOf(target)->kind) {
    case ControlKind::scrollBar:
        return GetScrollPos(target, SB_CTL);
    case ControlKind::checkBox:
        return SendMessageW(target, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    default:
        return static_cast<int>(SendMessageW(target, CB_GETCURSEL, 0, 0));
    }
}

void NativeWindow::setScrollPosition(HWND bar, const ControlRow& row, int position)
{
    const int before = GetScrollPos(bar, SB_CTL);
    SetScrollPos(bar, SB_CTL, std::clamp(position, row.minimum, row.limit), TRUE);
    const int after = GetScrollPos(bar, SB_CTL);
    if (after != before && events_.scrolled)
        events_.scrolled(after);
}

void NativeWindow::setAccessibleName(const char* name, const std::string& spoken)
{
    accessibleNames_[name] = wideFromUtf8(spoken);
    // Screen readers ask the control's MSAA object; its name property is overridden here, where
    // the system would take a button's text or the label before a list (Dynamic Annotation).
    if (!accessibility_) {
        IAccPropServices* services = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                       reinterpret_cast<void**>(&services))))
            accessibility_.reset(services, [](IAccPropServices* held) { held->Release(); });
    }
    if (accessibility_)
        accessibility_->SetHwndPropStr(control(name), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                       accessibleNames_[name].c_str());
}

void NativeWindow::setToolTip(const char* name, const std::string& tip)
{
    toolTipText_ = wideFromUtf8(tip);
    if (!toolTip_) {
        toolTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.uId = reinterpret_cast<UINT_PTR>(control(name));
    tool.lpszText = toolTipText_.data();
    SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void NativeWindow::focus(const char* name)
{
    HWND target = control(name);
    if (!IsWindowEnabled(target) || !IsWindowEnabled(window_))
        return;
    // Through the dialog manager, so the default button follows the focus as in a dialog.
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

std::string NativeWindow::focusedControl()
{
    HWND focused = GetFocus();
    // The edit field inside a drop-down list belongs to the list.
    while (focused && !rowOf(focused) && focused != window_)
        focused = GetParent(focused);
    const ControlRow* row = focused ? rowOf(focused) : nullptr;
    return row ? row->name : "";
}

void NativeWindow::scroll(HWND bar, int request, unsigned thumb)
{
    const ControlRow* row = rowOf(bar);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(bar, SB_CTL, &info);
    int position = info.nPos;
    switch (request) {
    case SB_LINELEFT: position -= row->step; break;
    case SB_LINERIGHT: position += row->step; break;
    case SB_PAGELEFT: position -= row->page; break;
    case SB_PAGERIGHT: position += row->page; break;
    case SB_LEFT: position = row->minimum; break;
    case SB_RIGHT: position = row->limit; break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_THUMBPOSITION: position = static_cast<int>(thumb); break;
    default: return;
    }
    setScrollPosition(bar, *row, position);
}

void NativeWindow::setWindowEnabled(bool enabled)
{
    EnableWindow(window_, enabled ? TRUE : FALSE);
}

void NativeWindow::setWaitCursor(bool on)
{
    waitCursor_ = on;
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(on ? 32514 : 32512)));   // IDC_WAIT, IDC_ARROW
}

void NativeWindow::setLamp(LampColour colour)
{
    setLampColour(control("shComm"), colour);
}

void NativeWindow::startTimer(const char*, int intervalMs)
{
    SetTimer(window_, busyTimerId, static_cast<UINT>(intervalMs), nullptr);
}

void NativeWindow::stopTimer(const char*)
{
    KillTimer(window_, busyTimerId);
}

void NativeWindow::removeCloseEntry()
{
    HMENU menu = GetSystemMenu(window_, FALSE);
    const int count = GetMenuItemCount(menu);
    if (count > 0)
        RemoveMenu(menu, static_cast<UINT>(count - 1), MF_BYPOSITION);
    DrawMenuBar(window_);
}

void NativeWindow::showMessageBox(MessageBoxKind kind, const std::string& text)
{
    const UINT icon = kind == MessageBoxKind::error ? MB_ICONERROR : MB_ICONWARNING;
    MessageBoxW(window_, wideFromUtf8(text).c_str(), wideFromUtf8(applicationTitle).c_str(), MB_OK | icon);
}

std::optional<std::string> NativeWindow::chooseFile(const std::string& initialFolder, const std::string& filter)
{
    // "Icon files (*.ico)": the name as shown, the pattern from its brackets.
    const size_t open = filter.rfind('(');
    const size_t close = filter.rfind(')');
    const std::string pattern = open != std::string::npos && close > open ? filter.substr(open + 1, close - open - 1) : "*.*";
    std::wstring filters = wideFromUtf8(filter) + L'\0' + wideFromUtf8(pattern) + L'\0';
    const std::wstring folder = wideFromUtf8(initialFolder);
    std::wstring chosen(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = static_cast<DWORD>(chosen.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    chosen.resize(wcslen(chosen.c_str()));
    return utf8FromWide(chosen);
}

SIZE NativeWindow::frameSize() const
{
    RECT frame;
    GetWindowRect(window_, &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void NativeWindow::shrinkToFit(const RECT& area)
{
    const ControlRow* form = findControl(tableWindow);
    const double scale = scaleThatFits({0, 0, area.right - area.left, area.bottom - area.top}, form->width,
                                       form->height, wantedFrame_.cx - scaled(form->width),
                                       wantedFrame_.cy - scaled(form->height), dpi_ / 96.0);
    const int dpi = static_cast<int>(std::lround(scale * 96));
    if (dpi >= dpi_)
        return;
    dpi_ = dpi;
    look_ = std::make_unique<ControlLook>(dpi_);
    layOut();
}

RECT NativeWindow::workArea() const
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

void NativeWindow::show(int left, int top)
{
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
}

void NativeWindow::processEvents()
{
    MSG message;
    while (!quitSeen_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitSeen_ = true;
            quitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

int NativeWindow::run()
{
    MSG message;
    while (!quitSeen_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            quitCode_ = got == 0 ? static_cast<int>(message.wParam) : 1;
            break;
        }
        if (!window_ || !IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return quitCode_;
}

void NativeWindow::discardPendingInput()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

void NativeWindow::closeWindow()
{
    if (window_)
        DestroyWindow(window_);
}

LRESULT CALLBACK NativeWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<NativeWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(window, message, wParam, lParam);
}

LRESULT NativeWindow::colour(HDC dc, HWND child)
{
    const ControlRow* row = rowOf(child);
    if (!row) {
        // The list of a drop-down list belongs to the list's row.
        for (const auto& [combo, comboRow] : rows_) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (comboRow->kind == ControlKind::dropDown && GetComboBoxInfo(combo, &info) && info.hwndList == child)
                row = comboRow;
        }
    }
    if (!row)
        return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    if (row->style == ControlStyle::V || row->style == ControlStyle::M || row->style == ControlStyle::F)
        return reinterpret_cast<LRESULT>(look_->paint(row->style, dc));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(look_->paint(ControlStyle::window, dc));
}

void NativeWindow::drawEnglishButton(const DRAWITEMSTRUCT& item)
{
    const ControlRow* row = rowOf(item.hwndItem);
    RECT area = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    const std::wstring caption = wideFromUtf8(text(row->name));
    HGDIOBJ oldFont = SelectObject(item.hDC, look_->font(row->style));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, (item.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : ControlLook::textColour(row->style));
    if (pushed)
        OffsetRect(&area, 1, 1);
    DrawTextW(item.hDC, caption.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(item.hDC, oldFont);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&area, -scaled(4), -scaled(4));
        DrawFocusRect(item.hDC, &area);
    }
}

LRESULT NativeWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            if (const ControlRow* row = rowOf(reinterpret_cast<HWND>(lParam))) {
                if ((row->kind == ControlKind::button || row->kind == ControlKind::pictureButton) && events_.clicked)
                    events_.clicked(row->name);
            }
        }
        return 0;
    case DM_GETDEFID:
        // Enter where no button has the focus presses the default button, as in a dialog.
        for (const auto& [child, row] : rows_)
            if (row->flags & defaultButton)
                return MAKELRESULT(controlId(*row), DC_HASDEFID);
        return 0;
    case WM_HSCROLL:
        if (lParam)
            scroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == busyTimerId && events_.timerTick)
            events_.timerTick();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        drawEnglishButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_SETCURSOR:
        if (waitCursor_) {
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
            return TRUE;
        }
        break;
    case WM_GETMINMAXINFO: {
        // The fixed frame may be larger than the screen at a high DPI: it is never cut.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxTrackSize.x = std::max<LONG>(limits->ptMaxTrackSize.x, wantedFrame_.cx);
        limits->ptMaxTrackSize.y = std::max<LONG>(limits->ptMaxTrackSize.y, wantedFrame_.cy);
        return 0;
    }
    case WM_DPICHANGED:
        if (!fixedDpi_) {
            dpi_ = HIWORD(wParam);
            look_ = std::make_unique<ControlLook>(dpi_);
            layOut();
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        return 0;
    case WM_CLOSE:
        if (!events_.closeRequested || events_.closeRequested())
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tempik
