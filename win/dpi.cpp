#include "win/dpi.h"

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

} // namespace

UINT DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

HFONT CreateStatusFont(UINT dpi) {
    using MetricsForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto metricsForDpi = User32Function<MetricsForDpiFn>("SystemParametersInfoForDpi");
    // The whole structure of Vista and later: the headers for XP lack its last field.
    struct {
        NONCLIENTMETRICSW metrics;
        int paddedBorderWidth;
    } all = {};
    all.metrics.cbSize = sizeof all;
    if (metricsForDpi == nullptr ||
        !metricsForDpi(SPI_GETNONCLIENTMETRICS, sizeof all, &all, 0, dpi)) {
        return nullptr;
    }
    return ::CreateFontIndirectW(&all.metrics.lfStatusFont);
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
