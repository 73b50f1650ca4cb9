#include "ui/win32/edit_box_rule.h"

#include "reader/control_values.h"
#include "ui/win32/wide_text.h"

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

// The box's text with its selection replaced by insertion.
std::wstring withInsertion(HWND edit, const std::wstring& insertion)
{
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::wstring text = windowText(edit);
    return text.substr(0, start) + insertion + text.substr(std::min<size_t>(end, text.size()));
}

bool fits(const Rule& rule, const std::wstring& text)
{
    return fitsEditBox(narrow(text), static_cast<size_t>(rule.limitBytes), rule.language());
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

// The longest start of the paste, in whole characters and without those the box does not take,
// that still fits beside what the box keeps.
std::wstring fittedPaste(HWND edit, const Rule& rule, const std::wstring& paste)
{
    std::wstring taken;
    for (size_t i = 0; i < paste.size();) {
        const size_t n = IS_HIGH_SURROGATE(paste[i]) && i + 1 < paste.size() ? 2 : 1;
        const std::wstring character = paste.substr(i, n);
        i += n;
        if (!editBoxTakes(narrow(character), rule.language()))
            continue;
        if (!fits(rule, withInsertion(edit, taken + character)))
            break;
        taken += character;
    }
    return taken;
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
        if (!fits(*rule, withInsertion(edit, character))) {
            MessageBeep(MB_OK);
            return 0;
        }
        if (character.size() == 2) {
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(character.c_str()));
            return 0;
        }
        break;
    }
    case WM_PASTE: {
        const std::wstring paste = fittedPaste(edit, *rule, clipboardText(edit));
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(paste.c_str()));
        return 0;
    }
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
