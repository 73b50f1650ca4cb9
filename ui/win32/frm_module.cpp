#include "ui/win32/frm_module.h"

#include "ui/form/window_placement.h"

namespace tempik {

TfrmModule::TfrmModule(HINSTANCE instance, const FormSeams& seams, int dpi)
    : view_(instance, dpi), form_(seams, view_)
{
    NativeWindowEvents events;
    events.clicked = [this](const char* button) { form_.click(button); };
    events.scrolled = [this](int position) { form_.sbIDChange(position); };
    events.timerTick = [this] { form_.tmrBusyTimer(); };
    events.closeRequested = [this] { return form_.mayClose(); };
    events.language = [this] { return form_.language(); };
    view_.connect(std::move(events));
    form_.FormCreate();
}

void TfrmModule::show()
{
    form_.FormShow();
    const RECT area = view_.workArea();
    view_.shrinkToFit(area);
    const SIZE frame = view_.frameSize();
    const ScreenPoint corner =
        placeOnScreen({area.left, area.top, area.right - area.left, area.bottom - area.top}, frame.cx, frame.cy);
    view_.show(corner.x, corner.y);
}

} // namespace tempik
