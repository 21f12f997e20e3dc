// The screensaver's Settings dialog on Windows: the clock, its size and the calendar as lists of
// what can be shown, the frame rate and mouse motion as check boxes, the resolution list, OK and
// Cancel. OK writes the settings file the saver reads at start-up; Cancel leaves it as it was.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/setting_choices.h"
#include "app/settings.h"

// In the order of the choice enums: an item's index is its choice.
static const char* const clockItems[CLOCK_CHOICE_COUNT] = {"Digital, 12-hour", "Digital, 24-hour", "Analogue",
                                                           "None"};
static const char* const clockSizeItems[CLOCK_SIZE_CHOICE_COUNT] = {"Large", "Small"};
static const char* const calendarItems[CALENDAR_CHOICE_COUNT] = {"Default", "Russian", "None"};

enum { ID_CLOCK = 100, ID_CLOCK_SIZE, ID_CALENDAR, ID_FRAME_RATE, ID_MOUSE_ENDS, ID_RESOLUTION };
enum {
    MARGIN = 12,
    CLIENT_WIDTH = 320,
    LABEL_WIDTH = 104,
    LIST_ROW = 28,  // a closed drop-down list is about 21 pixels high in the dialog font
    LIST_OPEN_HEIGHT = 200,
    CHECK_ROW = 22,
    GAP = 8,
    BUTTON_WIDTH = 80,
    BUTTON_HEIGHT = 26,
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
    HFONT font;
};

static ConfigDialog dialog;

static HWND addControl(HWND parent, const char* kind, const char* text, DWORD style, int x, int y, int w,
                       int h, int id) {
    HWND control = CreateWindowExA(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, (WPARAM)dialog.font, TRUE);
    return control;
}

// A label and its drop-down list on one row; the label goes to *label when asked.
static HWND addList(HWND parent, const char* text, int y, int id, HWND* label = nullptr) {
    HWND made = addControl(parent, "STATIC", text, 0, MARGIN, y + 4, LABEL_WIDTH - 4, LIST_ROW - 8, -1);
    if (label) *label = made;
    return addControl(parent, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                      MARGIN + LABEL_WIDTH, y, CLIENT_WIDTH - 2 * MARGIN - LABEL_WIDTH, LIST_OPEN_HEIGHT, id);
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

static HWND addCheck(HWND parent, const char* text, int y, int id, bool checked) {
    HWND box = addControl(parent, "BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, MARGIN, y,
                          CLIENT_WIDTH - 2 * MARGIN, CHECK_ROW - 2, id);
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

// Lays the controls out from the top; returns the height of the client area they need.
static int createControls(HWND window, const SettingChoices& shown) {
    int y = MARGIN;
    dialog.clock = addList(window, "Clock:", y, ID_CLOCK);
    fillList(dialog.clock, clockItems, CLOCK_CHOICE_COUNT, shown.clock);
    y += LIST_ROW;
    dialog.clockSize = addList(window, "Clock size:", y, ID_CLOCK_SIZE, &dialog.clockSizeLabel);
    fillList(dialog.clockSize, clockSizeItems, CLOCK_SIZE_CHOICE_COUNT, shown.clockSize);
    y += LIST_ROW;
    dialog.calendar = addList(window, "Calendar:", y, ID_CALENDAR);
    fillList(dialog.calendar, calendarItems, CALENDAR_CHOICE_COUNT, shown.calendar);
    y += LIST_ROW + GAP;
    dialog.frameRate = addCheck(window, "Show the frame rate", y, ID_FRAME_RATE, shown.showFrameRate);
    y += CHECK_ROW;
    dialog.mouseEnds =
        addCheck(window, "Mouse motion ends the screensaver", y, ID_MOUSE_ENDS, shown.mouseMoveEnds);
    y += CHECK_ROW + GAP;
    dialog.resolution = addList(window, "Screen resolution:", y, ID_RESOLUTION);
    fillResolutionList(shown.resolutionIndex);
    y += LIST_ROW + GAP;
    int x = CLIENT_WIDTH - MARGIN - 2 * BUTTON_WIDTH - GAP;
    addControl(window, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, x, y, BUTTON_WIDTH, BUTTON_HEIGHT,
               IDOK);
    addControl(window, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, x + BUTTON_WIDTH + GAP, y,
               BUTTON_WIDTH, BUTTON_HEIGHT, IDCANCEL);
    greyWhatDoesNotApply();
    return y + BUTTON_HEIGHT + MARGIN;
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

static LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_CLOCK && HIWORD(wParam) == CBN_SELCHANGE) greyWhatDoesNotApply();
            if (LOWORD(wParam) == IDOK && saveFromControls()) DestroyWindow(window);
            if (LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
            return 0;
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

static const DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

static HWND createDialogWindow(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = dialogProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "LumivaneSettings";
    if (!RegisterClassExA(&windowClass)) return nullptr;
    return CreateWindowExA(WS_EX_DLGMODALFRAME, "LumivaneSettings", dialogTitle, windowStyle, 0, 0, 0, 0,
                           nullptr, nullptr, instance, nullptr);
}

// Sizes the window round a client area of CLIENT_WIDTH x clientHeight, centred on the screen.
static void placeWindow(HWND window, int clientHeight) {
    RECT frame = {0, 0, CLIENT_WIDTH, clientHeight};
    AdjustWindowRectEx(&frame, windowStyle, FALSE, WS_EX_DLGMODALFRAME);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    dialog.path = settingsFilePath();
    dialog.settings = loadSettings(dialog.path);
    dialog.font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    dialog.window = createDialogWindow(instance);
    if (!dialog.window) return 1;
    placeWindow(dialog.window, createControls(dialog.window, settingChoices(dialog.settings)));
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
