// Display scale: every size the program states in pixels is a size at 96 DPI
// and goes through Scale for the DPI of the window it is meant for.
#pragma once

#include <windows.h>

namespace win {

constexpr UINT kBaseDpi = 96;

// WM_DPICHANGED, which the headers declare only for newer Windows: the
// window's new DPI in LOWORD(wParam), the rectangle it should take at lParam.
constexpr UINT WM_DPI_CHANGED = 0x02E0;

// The DPI a window is drawn at: its monitor's where the system scales per
// monitor (asked of the window from Windows 10 1607, of its monitor on 8.1),
// else the system's.
UINT DpiOf(HWND window);

// A pixel size at fromDpi, at toDpi, rounded to the nearest pixel.
inline int Scale(int px, UINT fromDpi, UINT toDpi) {
    return ::MulDiv(px, static_cast<int>(toDpi), static_cast<int>(fromDpi));
}

// A 96-DPI pixel size at dpi: the way every size the program states goes.
inline int Scale(int px96, UINT dpi) {
    return Scale(px96, kBaseDpi, dpi);
}

// The system's status-bar font at dpi, at the user's text size; before
// Windows 10 (1607), which tells it only for the system's DPI, scaled from
// that. nullptr when the system does not tell it. The caller deletes it.
HFONT CreateStatusFont(UINT dpi);

// A fixed font's pixel height, already at dpi, grown with the user's text
// size as the system's fonts grew.
int ScaleForTextSize(int px, UINT dpi);

// Keeps the dialog manager from giving a dialog's control the dialog's own
// font when the dialog moves to a monitor of another scale: for a control
// whose owner sets a font of its own at each DPI.
void KeepOwnFontOnDpiChange(HWND control);

} // namespace win
