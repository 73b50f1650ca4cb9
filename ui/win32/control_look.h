#pragma once
// The fonts and colours of the control table's styles (V value fields, M message bar, F footer,
// the red English button, the window's own font) at one DPI, owned for the window's lifetime.
#include "ui/form/control_table.h"

#include <windows.h>

#include <array>

namespace tempik {

class ControlLook {
public:
    explicit ControlLook(int dpi);
    ~ControlLook();
    ControlLook(const ControlLook&) = delete;
    ControlLook& operator=(const ControlLook&) = delete;

    HFONT font(ControlStyle style) const;
    // The colours a WM_CTLCOLOR* answer sets for the style, and its background brush; nullptr
    // where the system's own colours serve.
    HBRUSH paint(ControlStyle style, HDC dc) const;
    static COLORREF textColour(ControlStyle style);
    static COLORREF background(ControlStyle style);

private:
    static constexpr size_t styleCount = static_cast<size_t>(ControlStyle::framed) + 1;
    std::array<HFONT, styleCount> fonts_{};
    std::array<HBRUSH, styleCount> brushes_{};
};

} // namespace tempik
