// The screensaver's Settings dialog on Windows: the clock, its size and the calendar as lists of
// what can be shown, the frame rate and mouse motion as check boxes, the resolution list, OK and
// Cancel. OK writes the settings file the saver reads at start-up; Cancel leaves it as it was.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/setting_choices.h"
#include "app/settings.h"
#include "window_dpi.h"

// In the order of the choice enums: an item's index is its choice.
static const char* const clockItems[CLOCK_CHOICE_COUNT] = {"Digital, 12-hour", "Digital, 24-hour", "Analogue",
                                                           "None"};
static const char* const clockSizeItems[CLOCK_SIZE_CHOICE_COUNT] = {"Large", "Small"};
static const char* const calendarItems[CALENDAR_CHOICE_COUNT] = {"Default", "Russian", "None"};

enum { ID_CLOCK = 100, ID_CLOCK_SIZE, ID_CALENDAR, ID_FRAME_RATE, ID_MOUSE_ENDS, ID_RESOLUTION };
// The layout, in dialog units (a quarter of the font's average character width, an eighth of its
// height), as Windows' own dialogs are laid out: it follows the font and the monitor's scaling.
enum {
    MARGIN = 7,
    GAP = 4,         // between a label and its list, and between rows
    GROUP_GAP = 7,   // between groups of rows
    CHECK_BOX = 12,  // the box and its space before the text
    CHECK_HEIGHT = 10,
    LIST_OPEN_HEIGHT = 100,
    ARROW_WIDTH = 22,  // the drop-down button, the list's frame and the text's margins
    MIN_LIST_WIDTH = 70,
    BUTTON_WIDTH = 50,
    BUTTON_HEIGHT = 14,
};

static const char* const dialogTitle = "Lumivane Settings";

struct ConfigDialog {
    std::string path;
    SaverSettings settings;
    HWND window;
    HWND clock;
    HWND clockSizeLabel;
    HWND clockSize;
    HWND calendar;
    HWND frameRate;
    HWND mouseEnds;
    HWND resolution;
    HWND labels[4];  // beside clock, clock size, calendar, resolution
    HWND ok;
    HWND cancel;
    HFONT font;
    uint32_t dpi;
};

static ConfigDialog dialog;

static HWND addControl(HWND parent, const char* kind, const char* text, DWORD style, int id) {
    return CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
}

// A label and its drop-down list; placed by layoutControls.
static HWND addList(HWND parent, const char* text, int id, HWND* label) {
    *label = addControl(parent, "STATIC", text, SS_LEFT, -1);
    return addControl(parent, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, id);
}

static void fillList(HWND list, const char* const* items, int count, int selected) {
    for (int i = 0; i < count; i++) SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)items[i]);
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

static void fillResolutionList(uint32_t selected) {
    SaverSettings row = defaultSettings();
    for (uint32_t i = 0; i < RESOLUTION_COUNT; i++) {
        row.resolutionIndex = i;
        char text[64];
        if (row.resolutionWidth() == 0)
            snprintf(text, sizeof text, "Desktop resolution");
        else
            snprintf(text, sizeof text, "%d x %d", row.resolutionWidth(), row.resolutionHeight());
        SendMessageA(dialog.resolution, CB_ADDSTRING, 0, (LPARAM)text);
    }
    SendMessageA(dialog.resolution, CB_SETCURSEL, selected, 0);
}

static HWND addCheck(HWND parent, const char* text, int id, bool checked) {
    HWND box = addControl(parent, "BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, id);
    SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return box;
}

static int listChoice(HWND list, int count, int kept) {
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return index >= 0 && index < count ? (int)index : kept;
}

// The clock's size means nothing without a clock.
static void greyWhatDoesNotApply() {
    BOOL clockShown = listChoice(dialog.clock, CLOCK_CHOICE_COUNT, CLOCK_NONE) != CLOCK_NONE;
    EnableWindow(dialog.clockSizeLabel, clockShown);
    EnableWindow(dialog.clockSize, clockShown);
}

static void createControls(HWND window, const SettingChoices& shown) {
    dialog.clock = addList(window, "Clock:", ID_CLOCK, &dialog.labels[0]);
    fillList(dialog.clock, clockItems, CLOCK_CHOICE_COUNT, shown.clock);
    dialog.clockSize = addList(window, "Clock size:", ID_CLOCK_SIZE, &dialog.labels[1]);
    dialog.clockSizeLabel = dialog.labels[1];
    fillList(dialog.clockSize, clockSizeItems, CLOCK_SIZE_CHOICE_COUNT, shown.clockSize);
    dialog.calendar = addList(window, "Calendar:", ID_CALENDAR, &dialog.labels[2]);
    fillList(dialog.calendar, calendarItems, CALENDAR_CHOICE_COUNT, shown.calendar);
    dialog.frameRate = addCheck(window, "Show the frame rate", ID_FRAME_RATE, shown.showFrameRate);
    dialog.mouseEnds =
        addCheck(window, "Mouse motion ends the screensaver", ID_MOUSE_ENDS, shown.mouseMoveEnds);
    dialog.resolution = addList(window, "Screen resolution:", ID_RESOLUTION, &dialog.labels[3]);
    fillResolutionList(shown.resolutionIndex);
    dialog.ok = addControl(window, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    dialog.cancel = addControl(window, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
    greyWhatDoesNotApply();
}

// The font's dialog base units, as Windows measures them: the average width of the 52 letters and
// the font's height.
struct DialogUnits {
    int baseX, baseY;
    int x(int units) const { return MulDiv(units, baseX, 4); }
    int y(int units) const { return MulDiv(units, baseY, 8); }
};

static SIZE textSize(HDC dc, const char* text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    return size;
}

static int widestText(HDC dc, HWND const* controls, int count) {
    int widest = 0;
    char text[128];
    for (int i = 0; i < count; i++) {
        GetWindowTextA(controls[i], text, sizeof text);
        widest = std::max(widest, (int)textSize(dc, text).cx);
    }
    return widest;
}

static int widestItem(HDC dc, HWND list) {
    int widest = 0;
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    char text[128];
    for (LRESULT i = 0; i < count; i++) {
        if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) >= (LRESULT)sizeof text) continue;
        SendMessageA(list, CB_GETLBTEXT, i, (LPARAM)text);
        widest = std::max(widest, (int)textSize(dc, text).cx);
    }
    return widest;
}

static void place(HWND control, int x, int y, int w, int h) {
    SetWindowPos(control, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sets the font for the window's DPI on every control and places them from the top, each column as
// wide as its widest text; returns the client size they need.
static SIZE layoutControls(HWND window) {
    HFONT old = dialog.font;
    dialog.dpi = windowDpi(window);
    dialog.font = createMessageFont(dialog.dpi);
    HWND controls[] = {dialog.labels[0], dialog.clock,      dialog.labels[1], dialog.clockSize,
                       dialog.labels[2], dialog.calendar,   dialog.frameRate, dialog.mouseEnds,
                       dialog.labels[3], dialog.resolution, dialog.ok,        dialog.cancel};
    for (HWND control : controls) SendMessageA(control, WM_SETFONT, (WPARAM)dialog.font, FALSE);
    if (old && old != (HFONT)GetStockObject(DEFAULT_GUI_FONT)) DeleteObject(old);

    HDC dc = GetDC(window);
    HGDIOBJ kept = SelectObject(dc, dialog.font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const DialogUnits du = {(int)((textSize(dc, letters).cx / 26 + 1) / 2), (int)metrics.tmHeight};
    // A little over the text: a static control wraps a text that only just fits.
    const int labelWidth = widestText(dc, dialog.labels, 4) + du.x(1);
    int listWidth = du.x(MIN_LIST_WIDTH);
    for (HWND list : {dialog.clock, dialog.clockSize, dialog.calendar, dialog.resolution})
        listWidth = std::max(listWidth, widestItem(dc, list) + du.x(ARROW_WIDTH));
    HWND checks[] = {dialog.frameRate, dialog.mouseEnds};
    const int checkWidth = widestText(dc, checks, 2) + du.x(CHECK_BOX);
    SelectObject(dc, kept);
    ReleaseDC(window, dc);

    const int left = du.x(MARGIN), listLeft = left + labelWidth + du.x(GAP);
    const int buttonsWidth = 2 * du.x(BUTTON_WIDTH) + du.x(GAP);
    const int contentWidth = std::max(std::max(listLeft + listWidth - left, checkWidth), buttonsWidth);
    const int width = contentWidth + 2 * left;
    const int listRight = left + contentWidth;
    int y = du.y(MARGIN);
    auto listRow = [&](HWND label, HWND list) {
        place(list, listLeft, y, listRight - listLeft, du.y(LIST_OPEN_HEIGHT));
        RECT closed;  // a drop-down list's own height follows its font
        GetWindowRect(list, &closed);
        const int rowHeight = std::max((int)(closed.bottom - closed.top), (int)metrics.tmHeight);
        place(label, left, y + (rowHeight - metrics.tmHeight) / 2, labelWidth, metrics.tmHeight);
        y += rowHeight + du.y(GAP);
    };
    listRow(dialog.labels[0], dialog.clock);
    listRow(dialog.labels[1], dialog.clockSize);
    listRow(dialog.labels[2], dialog.calendar);
    y += du.y(GROUP_GAP - GAP);
    for (HWND box : checks) {
        place(box, left, y, contentWidth, std::max(du.y(CHECK_HEIGHT), (int)metrics.tmHeight));
        y += std::max(du.y(CHECK_HEIGHT), (int)metrics.tmHeight) + du.y(GAP);
    }
    y += du.y(GROUP_GAP - GAP);
    listRow(dialog.labels[3], dialog.resolution);
    y += du.y(GROUP_GAP - GAP);
    const int x = listRight - buttonsWidth;
    place(dialog.ok, x, y, du.x(BUTTON_WIDTH), du.y(BUTTON_HEIGHT));
    place(dialog.cancel, x + du.x(BUTTON_WIDTH) + du.x(GAP), y, du.x(BUTTON_WIDTH), du.y(BUTTON_HEIGHT));
    InvalidateRect(window, nullptr, TRUE);
    SIZE size = {width, y + du.y(BUTTON_HEIGHT) + du.y(MARGIN)};
    return size;
}

static bool isChecked(HWND box) {
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Takes the controls' state into the settings and writes the file; false (with a message) when
// the file could not be written, so the dialog stays open and nothing is lost.
static bool saveFromControls() {
    SettingChoices c = settingChoices(dialog.settings);
    c.clock = (ClockChoice)listChoice(dialog.clock, CLOCK_CHOICE_COUNT, c.clock);
    c.clockSize = (ClockSizeChoice)listChoice(dialog.clockSize, CLOCK_SIZE_CHOICE_COUNT, c.clockSize);
    c.calendar = (CalendarChoice)listChoice(dialog.calendar, CALENDAR_CHOICE_COUNT, c.calendar);
    c.showFrameRate = isChecked(dialog.frameRate);
    c.mouseMoveEnds = isChecked(dialog.mouseEnds);
    c.resolutionIndex = (uint32_t)listChoice(dialog.resolution, RESOLUTION_COUNT, (int)c.resolutionIndex);
    SaverSettings s = dialog.settings;  // keeps what no control shows
    applySettingChoices(c, &s);
    if (!dialog.path.empty() && writeSettingsFile(dialog.path, s)) return true;
    std::string text = "The settings could not be saved to\n" +
                       (dialog.path.empty() ? std::string("(no application data folder)") : dialog.path);
    MessageBoxA(dialog.window, text.c_str(), dialogTitle, MB_OK | MB_ICONERROR);
    return false;
}

static const DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

// Sizes the window round a client area of the given size, with its top left corner at (x, y).
static void placeWindow(HWND window, SIZE client, int x, int y) {
    RECT frame = {0, 0, client.cx, client.cy};
    adjustWindowRectForDpi(&frame, windowStyle, WS_EX_DLGMODALFRAME, dialog.dpi);
    SetWindowPos(window, nullptr, x, y, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// Centred on the monitor the window is on, in that monitor's pixels.
static void centreWindow(HWND window, SIZE client) {
    placeWindow(window, client, 0, 0);
    RECT frame;
    GetWindowRect(window, &frame);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int x = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
    const int y = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_CLOCK && HIWORD(wParam) == CBN_SELCHANGE) greyWhatDoesNotApply();
            if (LOWORD(wParam) == IDOK && saveFromControls()) DestroyWindow(window);
            if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another scaling: the font and layout follow, and the window
            // keeps the place Windows suggests.
            const RECT* suggested = (const RECT*)lParam;
            placeWindow(window, layoutControls(window), suggested->left, suggested->top);
            return 0;
        }
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

static SaverSettings loadSettings(const std::string& path) {
    std::string problem;  // the dialog shows the defaults for a file it cannot use
    return loadSettingsFile(path, &problem);
}

static HWND createDialogWindow(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = dialogProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));  // the program's own icon
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "LumivaneSettings";
    if (!RegisterClassExA(&windowClass)) return nullptr;
    return CreateWindowExA(WS_EX_DLGMODALFRAME, "LumivaneSettings", dialogTitle, windowStyle, 0, 0, 0, 0,
                           nullptr, nullptr, instance, nullptr);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    dialog.path = settingsFilePath();
    dialog.settings = loadSettings(dialog.path);
    dialog.window = createDialogWindow(instance);
    if (!dialog.window) return 1;
    createControls(dialog.window, settingChoices(dialog.settings));
    centreWindow(dialog.window, layoutControls(dialog.window));
    ShowWindow(dialog.window, showCommand);
    UpdateWindow(dialog.window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Tab, Enter and Escape move between and press the controls as in any dialog.
        if (IsDialogMessageA(dialog.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
