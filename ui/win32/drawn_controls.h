#pragma once
// The two controls the window paints itself: the lamp shComm (a circle with a thin black
// outline, red or yellow) and the icon preview imgTitle (a white picture the icon title is drawn
// on in logical pixels, shown scaled to the control's size).
#include "reader/feedback.h"

#include <windows.h>

#include <vector>

namespace tempik {

constexpr const wchar_t* lampClassName = L"TempikLamp";
constexpr const wchar_t* previewClassName = L"TempikPreview";

void registerDrawnControlClasses(HINSTANCE instance);

void setLampColour(HWND lamp, LampColour colour);
LampColour lampColour(HWND lamp);

class PreviewPicture final : public PreviewCanvas {
public:
    PreviewPicture(int width, int height);
    void attach(HWND window) { window_ = window; }
    void setPenBlack(bool black) override { pen_ = black ? 0x000000u : 0xFFFFFFu; }
    void rectangle(int left, int top, int right, int bottom) override;
    void paint(HDC dc, const RECT& area) const;
    // Black pixels, for the tests.
    int blackCount() const;

private:
    void fill(int left, int top, int width, int height, unsigned colour);

    int width_;
    int height_;
    std::vector<unsigned> pixels_;   // 0x00RRGGBB, top row first
    unsigned pen_ = 0;
    HWND window_ = nullptr;
};

} // namespace tempik
