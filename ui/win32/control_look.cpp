#include "ui/win32/control_look.h"

namespace tempik {

namespace {

struct FontLook {
    const wchar_t* face;
    int pixels;
    bool bold;
};

FontLook fontOf(ControlStyle style)
{
    switch (style) {
    case ControlStyle::V:
    case ControlStyle::M:
        return {L"MS Sans Serif", 16, true};
    case ControlStyle::F:
        return {L"Microsoft Sans Serif", 11, false};
    case ControlStyle::englishButton:
        return {L"MS Sans Serif", 13, false};
    case ControlStyle::languagePicture:
        return {L"MS Sans Serif", 11, false};
    case ControlStyle::window:
    case ControlStyle::framed:
        break;
    }
    return {L"Arial", 16, false};
}

COLORREF backgroundOf(ControlStyle style)
{
    switch (style) {
    case ControlStyle::V:
        return GetSysColor(COLOR_HIGHLIGHT);
    case ControlStyle::M:
        // The active-caption blue of the classic desktop, as the Linux window shows it.
        return RGB(0, 84, 227);
    case ControlStyle::F:
        return RGB(0, 0, 128);
    default:
        return GetSysColor(COLOR_BTNFACE);
    }
}

size_t indexOf(ControlStyle style)
{
    return static_cast<size_t>(style);
}

} // namespace

ControlLook::ControlLook(int dpi)
{
    for (size_t i = 0; i < styleCount; ++i) {
        const auto style = static_cast<ControlStyle>(i);
        const FontLook font = fontOf(style);
        LOGFONTW logFont{};
        // A negative height is the character height in pixels, as the table gives it.
        logFont.lfHeight = -MulDiv(font.pixels, dpi, 96);
        logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfQuality = CLEARTYPE_QUALITY;
        lstrcpynW(logFont.lfFaceName, font.face, LF_FACESIZE);
        fonts_[i] = CreateFontIndirectW(&logFont);
        brushes_[i] = CreateSolidBrush(backgroundOf(style));
    }
}

ControlLook::~ControlLook()
{
    for (size_t i = 0; i < styleCount; ++i) {
        DeleteObject(fonts_[i]);
        DeleteObject(brushes_[i]);
    }
}

COLORREF ControlLook::background(ControlStyle style)
{
    return backgroundOf(style);
}

HFONT ControlLook::font(ControlStyle style) const
{
    return fonts_[indexOf(style)];
}

COLORREF ControlLook::textColour(ControlStyle style)
{
    switch (style) {
    case ControlStyle::V:
        return RGB(255, 255, 0);
    case ControlStyle::M:
    case ControlStyle::F:
        return RGB(255, 255, 255);
    case ControlStyle::englishButton:
        return RGB(255, 0, 0);
    default:
        return GetSysColor(COLOR_WINDOWTEXT);
    }
}

HBRUSH ControlLook::paint(ControlStyle style, HDC dc) const
{
    SetTextColor(dc, textColour(style));
    SetBkColor(dc, backgroundOf(style));
    return brushes_[indexOf(style)];
}

} // namespace tempik
