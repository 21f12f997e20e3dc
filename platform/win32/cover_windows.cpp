#include "platform/cover_windows.h"

#include <windows.h>

#include <cstdlib>

static const char coverClassName[] = "LumivaneCover";
static ScreenRect sceneRect = {};
static CoverList covers = {};
static CoverInput pending = {false, false};
static bool displayChanged = false;
static uint32_t lastLookMs = 0;
static POINT lastPointer = {0, 0};
static bool pointerKnown = false;
static bool covering = false;  // from openCoverWindows to closeCoverWindows, covers or not

struct MonitorList {
    ScreenRect rects[MONITOR_LIST_SIZE];
    int32_t count;
    int32_t primary;
};

static BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MonitorList* list = (MonitorList*)data;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (list->count >= MONITOR_LIST_SIZE || !GetMonitorInfoA(monitor, &info)) return TRUE;
    if (info.dwFlags & MONITORINFOF_PRIMARY) list->primary = list->count;
    const RECT& r = info.rcMonitor;
    list->rects[list->count++] = {(int32_t)r.left, (int32_t)r.top, (int32_t)(r.right - r.left),
                                  (int32_t)(r.bottom - r.top)};
    return TRUE;
}

static void readMonitors(MonitorList* list) {
    list->count = 0;
    list->primary = -1;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, (LPARAM)list);
}

// Windows sends WM_MOUSEMOVE also when a window appears under a still pointer; only a pointer
// that has really moved counts.
static void notePointer() {
    POINT now;
    if (!GetCursorPos(&now)) return;
    if (pointerKnown && (now.x != lastPointer.x || now.y != lastPointer.y)) pending.pointerMoved = true;
    lastPointer = now;
    pointerKnown = true;
}

static LRESULT CALLBACK coverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) pending.escapePressed = true;
            return 0;
        case WM_MOUSEMOVE:
            notePointer();
            return 0;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_DISPLAYCHANGE:
        case WM_DPICHANGED:
            // A monitor's scaling changed: the covers are placed anew from the monitors' own pixels
            // rather than moved where Windows suggests.
            displayChanged = true;
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static bool registerCoverClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = coverProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = coverClassName;
    registered = RegisterClassExA(&windowClass) != 0;
    return registered;
}

static uintptr_t openCover(const ScreenRect& rect) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, coverClassName, "Lumivane cover",
                                  WS_POPUP, rect.x, rect.y, rect.width, rect.height, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
    }
    return (uintptr_t)window;
}

static void closeCover(uintptr_t handle) {
    DestroyWindow((HWND)handle);
}

// Covers follow the monitors: a gone monitor's cover is destroyed, a new one gets a cover, and the
// rest stay as they are.
static void followMonitors() {
    MonitorList monitors;
    readMonitors(&monitors);
    // SDL's full-screen window stays on the primary monitor, whose rectangle a mode change alters.
    int32_t chosen = sceneMonitor(monitors.rects, monitors.count, monitors.primary);
    if (chosen >= 0) sceneRect = monitors.rects[chosen];
    CoverLayout wanted = coverLayout(monitors.rects, monitors.count, sceneRect);
    followCoverLayout(&covers, wanted, openCover, closeCover);
}

bool openCoverWindows(ScreenRect* scene) {
    closeCoverWindows();
    MonitorList monitors;
    readMonitors(&monitors);
    int32_t chosen = sceneMonitor(monitors.rects, monitors.count, monitors.primary);
    if (chosen < 0 || !registerCoverClass()) return false;
    static bool closeRegistered = false;
    if (!closeRegistered) closeRegistered = atexit(closeCoverWindows) == 0;
    pending = {false, false};
    pointerKnown = false;
    // A one-monitor desk is watched too: a monitor plugged in later gets its cover.
    covering = true;
    followMonitors();
    if (covers.count == 0) return false;
    *scene = sceneRect;
    return true;
}

CoverInput pollCoverWindows(uint32_t nowMs) {
    // SDL's event pump dispatches the thread's messages, the covers' among them; this catches the rest.
    MSG message;
    for (int32_t i = 0; i < covers.count; i++) {
        while (PeekMessageA(&message, (HWND)covers.handles[i], 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    CoverInput input = pending;
    pending = {false, false};
    if (covering && (displayChanged || nowMs - lastLookMs >= coverRecheckMs)) {
        displayChanged = false;
        lastLookMs = nowMs;
        followMonitors();
    }
    return input;
}

void closeCoverWindows() {
    for (int32_t i = 0; i < covers.count; i++) closeCover(covers.handles[i]);
    covers.count = 0;
    covering = false;
}
