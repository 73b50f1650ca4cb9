#include "ui/win32/drawn_controls.h"

#include "ui/win32/control_look.h"

#include <algorithm>

namespace tempik {

namespace {

constexpr int lampDiameter = 20;

LRESULT CALLBACK lampProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    HBRUSH behind = CreateSolidBrush(ControlLook::background(ControlStyle::M));
    FillRect(dc, &area, behind);
    DeleteObject(behind);
    // The circle keeps its 20 logical pixels, centred in the box, whatever the DPI.
    const int diameter = MulDiv(lampDiameter, area.bottom, 20);
    const int left = (area.right - diameter) / 2;
    const int top = (area.bottom - diameter) / 2;
    const COLORREF fill = lampColour(window) == LampColour::yellow ? RGB(255, 255, 0) : RGB(255, 0, 0);
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Ellipse(dc, left, top, left + diameter, top + diameter);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    EndPaint(window, &paint);
    return 0;
}

LRESULT CALLBACK previewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    if (const auto* picture = reinterpret_cast<const PreviewPicture*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
        picture->paint(dc, area);
    EndPaint(window, &paint);
    return 0;
}

} // namespace

void registerDrawnControlClasses(HINSTANCE instance)
{
    WNDCLASSEXW drawn{};
    drawn.cbSize = sizeof drawn;
    drawn.hInstance = instance;
    drawn.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    drawn.lpfnWndProc = lampProcedure;
    drawn.lpszClassName = lampClassName;
    RegisterClassExW(&drawn);
    drawn.lpfnWndProc = previewProcedure;
    drawn.lpszClassName = previewClassName;
    RegisterClassExW(&drawn);
}

void setLampColour(HWND lamp, LampColour colour)
{
    if (lampColour(lamp) == colour)
        return;
    SetWindowLongPtrW(lamp, GWLP_USERDATA, colour == LampColour::yellow ? 1 : 0);
    InvalidateRect(lamp, nullptr, FALSE);
}

LampColour lampColour(HWND lamp)
{
    return GetWindowLongPtrW(lamp, GWLP_USERDATA) == 1 ? LampColour::yellow : LampColour::red;
}

PreviewPicture::PreviewPicture(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), 0xFFFFFFu)
{
}

void PreviewPicture::fill(int left, int top, int width, int height, unsigned colour)
{
    const int right = std::min(left + width, width_);
    const int bottom = std::min(top + height, height_);
    for (int y = std::max(top, 0); y < bottom; ++y)
        for (int x = std::max(left, 0); x < right; ++x)
            pixels_[static_cast<size_t>(y * width_ + x)] = colour;
}

void PreviewPicture::rectangle(int left, int top, int right, int bottom)
{
    const int w = right - left;
    const int h = bottom - top;
    if (w <= 0 || h <= 0)
        return;
    // Inside white, then a one-pixel outline in the pen colour; right and bottom edges are
    // excluded, so a 2 x 2 rectangle is all outline.
    fill(left, top, w, h, 0xFFFFFFu);
    fill(left, top, w, 1, pen_);
    fill(left, bottom - 1, w, 1, pen_);
    fill(left, top, 1, h, pen_);
    fill(right - 1, top, 1, h, pen_);
    if (window_)
        InvalidateRect(window_, nullptr, FALSE);
}

void PreviewPicture::paint(HDC dc, const RECT& area) const
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;   // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // Whole logical pixels at a higher DPI: each becomes a block, never a blur.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, area.right, area.bottom, 0, 0, width_, height_, pixels_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

int PreviewPicture::blackCount() const
{
    return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), 0u));
}

} // namespace tempik
