#include "ui/win32/edit_box_rule.h"

#include "ui/form/edit_box_rule.h"
#include "link/wide_text.h"

#include <commctrl.h>

#include <memory>
#include <string>

namespace tempik {

namespace {

struct Rule {
    int limitBytes;
    std::function<int()> language;
    wchar_t highSurrogate = 0;   // the first half of a character typed in two WM_CHARs
};

constexpr UINT_PTR ruleId = 1;

std::wstring windowText(HWND edit)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring clipboardText(HWND owner)
{
    std::wstring text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The insertion in place of the selection, as the form's rule lets it through.
void insert(HWND edit, const Rule& rule, const std::wstring& insertion)
{
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = windowText(edit);
    const std::string before = utf8FromWide(text.substr(0, start)) + utf8FromWide(insertion);
    const std::string proposed = before + utf8FromWide(text.substr(std::min<size_t>(end, text.size())));
    const auto accepted = acceptEdit({proposed, before.size()}, static_cast<size_t>(rule.limitBytes), rule.language());
    if (!accepted || accepted->text == utf8FromWide(text)) {
        MessageBeep(MB_OK);
        return;
    }
    SetWindowTextW(edit, wideFromUtf8(accepted->text).c_str());
    const auto cursor = static_cast<WPARAM>(wideFromUtf8(accepted->text.substr(0, accepted->cursor)).size());
    SendMessageW(edit, EM_SETSEL, cursor, static_cast<LPARAM>(cursor));
}

LRESULT CALLBACK ruleProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* rule = reinterpret_cast<Rule*>(data);
    switch (message) {
    case WM_CHAR: {
        const auto unit = static_cast<wchar_t>(wParam);
        // Below 0x20 are the box's own commands (Backspace, Ctrl+C, Ctrl+V ...), never inserted.
        if (unit < 0x20)
            break;
        if (IS_HIGH_SURROGATE(unit)) {
            rule->highSurrogate = unit;
            return 0;
        }
        std::wstring character(1, unit);
        if (IS_LOW_SURROGATE(unit) && rule->highSurrogate)
            character.insert(character.begin(), rule->highSurrogate);
        rule->highSurrogate = 0;
        insert(edit, *rule, character);
        return 0;
    }
    case WM_PASTE:
        insert(edit, *rule, clipboardText(edit));
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, ruleProcedure, ruleId);
        delete rule;
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

void applyEditBoxRule(HWND edit, int limitBytes, std::function<int()> language)
{
    auto rule = std::make_unique<Rule>(Rule{limitBytes, std::move(language)});
    if (SetWindowSubclass(edit, ruleProcedure, ruleId, reinterpret_cast<DWORD_PTR>(rule.get())))
        rule.release();   // the subclass owns it until WM_NCDESTROY
}

} // namespace tempik
