// tempik-config.exe: the window on Windows, the native view of the form.
#include "texts/text_table.h"
#include "ui/window/control_table.h"
#include "ui/win32/native_window.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    tempik::NativeWindowEvents events;
    events.language = [] { return 0; };
    tempik::NativeWindow window(instance, events);
    for (size_t i = 0; i < tempik::formShowCount; ++i) {
        const tempik::ControlRow* row = tempik::findControl(tempik::formShowOrder[i]);
        window.setText(row->name, tempik::text(row->entry, 0) + row->text);
    }
    window.show(100, 100);
    return window.run();
}
