#include "win/dpi.h"

#include "win/text_size.h"

namespace win {
namespace {

// These exist only from Windows 10 (1607 or 1703): looked up, never
// imported, so that the program still starts where they are missing.
template <typename Function> Function User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
               : nullptr;
}

// Windows 8.1 and 10 before 1607 scale per monitor but tell a window's DPI
// only through its monitor. SHCORE, which tells that, comes with 8.1, and
// only from the system folder.
UINT MonitorDpiOf(HWND window) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = []() -> GetDpiForMonitorFn {
        const DWORD searchSystem32 = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32
        const HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, searchSystem32);
        return shcore != nullptr ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(
                                       ::GetProcAddress(shcore, "GetDpiForMonitor")))
                                 : nullptr;
    }();
    UINT dpiX = 0;
    UINT dpiY = 0;
    const int effectiveDpi = 0; // MDT_EFFECTIVE_DPI
    if (getDpiForMonitor == nullptr ||
        getDpiForMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), effectiveDpi, &dpiX,
                         &dpiY) != S_OK) {
        return 0;
    }
    return dpiY;
}

UINT SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

// The whole structure of Vista and later: the headers for XP lack its last field.
struct NonClientMetrics {
    NONCLIENTMETRICSW metrics;
    int paddedBorderWidth;
};

// The system's fonts at dpi where Windows tells them (10, 1607), else at the
// system's DPI; readAt says which.
bool ReadNonClientMetrics(UINT dpi, NonClientMetrics& all, UINT& readAt) {
    using MetricsForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto metricsForDpi = User32Function<MetricsForDpiFn>("SystemParametersInfoForDpi");
    all = {};
    all.metrics.cbSize = sizeof all;
    if (metricsForDpi != nullptr &&
        metricsForDpi(SPI_GETNONCLIENTMETRICS, sizeof all, &all, 0, dpi)) {
        readAt = dpi;
        return true;
    }
    readAt = SystemDpi();
    return ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof all, &all, 0) != FALSE;
}

} // namespace

UINT DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : MonitorDpiOf(window);
    return dpi != 0 ? dpi : SystemDpi();
}

HFONT CreateStatusFont(UINT dpi) {
    NonClientMetrics all;
    UINT readAt = kBaseDpi;
    if (!ReadNonClientMetrics(dpi, all, readAt)) {
        return nullptr;
    }
    // It carries the user's text size already.
    LOGFONTW font = all.metrics.lfStatusFont;
    font.lfHeight = Scale(font.lfHeight, readAt, dpi);
    return ::CreateFontIndirectW(&font);
}

int ScaleForTextSize(int px, UINT dpi) {
    NonClientMetrics all;
    UINT readAt = kBaseDpi;
    if (!ReadNonClientMetrics(dpi, all, readAt)) {
        return px;
    }
    return ScaleByTextSize(px, all.metrics.lfMessageFont.lfHeight, readAt);
}

void KeepOwnFontOnDpiChange(HWND control) {
    using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    const int disableFontUpdate = 1; // DCDC_DISABLE_FONT_UPDATE
    static const auto setBehavior =
        User32Function<SetBehaviorFn>("SetDialogControlDpiChangeBehavior");
    if (setBehavior != nullptr) {
        setBehavior(control, disableFontUpdate, disableFontUpdate);
    }
}

} // namespace win
