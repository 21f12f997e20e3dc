#include "window_dpi.h"

typedef UINT(WINAPI* DpiForWindow)(HWND);
typedef BOOL(WINAPI* ParametersForDpi)(UINT, UINT, PVOID, UINT, UINT);
typedef BOOL(WINAPI* AdjustForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT);

static FARPROC user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

static uint32_t systemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? (uint32_t)dpi : baseDpi;
}

uint32_t windowDpi(HWND window) {
    DpiForWindow forWindow = (DpiForWindow)(void*)user32Function("GetDpiForWindow");
    UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

HFONT createMessageFont(uint32_t dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    ParametersForDpi forDpi = (ParametersForDpi)(void*)user32Function("SystemParametersInfoForDpi");
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return CreateFontIndirectW(&metrics.lfMessageFont);
    // Older Windows gives the metrics of the system DPI only.
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, (int)dpi, (int)systemDpi());
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void adjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, uint32_t dpi) {
    AdjustForDpi forDpi = (AdjustForDpi)(void*)user32Function("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(rect, style, FALSE, exStyle, dpi)) AdjustWindowRectEx(rect, style, FALSE, exStyle);
}
