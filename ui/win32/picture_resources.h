#pragma once
// Resource ids of the window's pictures, shared by the program's resource script and the view.
// The pictures are the Linux window's own PNGs, each wrapped in an icon file (images/).
#define TEMPIK_ICON_WINDOW 1
#define TEMPIK_ICON_MAGNIFIER 101
#define TEMPIK_ICON_BADGE 102
#define TEMPIK_ICON_ERASER 103
#define TEMPIK_ICON_CLOSE 104
#define TEMPIK_ICON_SIMPLIFIED 105
#define TEMPIK_ICON_TRADITIONAL 106
