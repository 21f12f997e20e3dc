#pragma once
// Display scaling for the Win32 windows of the programs. The per-monitor calls came with Windows 10
// 1607 and are looked up at run time, so the programs still start on Windows 7, where the system
// DPI is the only one.
#include <windows.h>

#include <cstdint>

const uint32_t baseDpi = 96;  // 100%

// The DPI of the monitor the window is on; the system's where Windows cannot tell per monitor.
uint32_t windowDpi(HWND window);
// The system's message font (the one dialogs use), sized for that DPI; the caller deletes it.
HFONT createMessageFont(uint32_t dpi);
// AdjustWindowRectEx with the frame sizes of that DPI.
void adjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, uint32_t dpi);
