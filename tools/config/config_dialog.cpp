// The screensaver's Settings dialog on Windows: a check box per choice, the resolution list, OK and
// Cancel. OK writes the settings file the saver reads at start-up; Cancel leaves it as it was.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/settings.h"

struct CheckField {
    const char* label;
    bool SaverSettings::*field;
};

static const CheckField checkFields[] = {
    {"Show the clock", &SaverSettings::showClock},
    {"Analogue clock", &SaverSettings::analogClock},
    {"24-hour clock", &SaverSettings::clock24Hours},
    {"Large clock", &SaverSettings::largeClock},
    {"Show the calendar", &SaverSettings::showCalendar},
    {"Russian calendar", &SaverSettings::russianCalendar},
    {"Show the frame rate", &SaverSettings::showFrameRate},
    {"Mouse motion ends the screensaver", &SaverSettings::mouseMoveEnds},
};
enum { CHECK_COUNT = sizeof checkFields / sizeof checkFields[0] };

enum { ID_FIRST_CHECK = 100, ID_RESOLUTION = 200 };
enum { MARGIN = 12, ROW = 24, CLIENT_WIDTH = 300 };

static const char* const dialogTitle = "Lumivane Settings";

struct ConfigDialog {
    std::string path;
    SaverSettings settings;
    HWND window;
    HWND checks[CHECK_COUNT];
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

static void fillResolutionList() {
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
    SendMessageA(dialog.resolution, CB_SETCURSEL, dialog.settings.resolutionIndex, 0);
}

static void createControls(HWND window) {
    int y = MARGIN;
    int width = CLIENT_WIDTH - 2 * MARGIN;
    for (int i = 0; i < CHECK_COUNT; i++, y += ROW) {
        dialog.checks[i] = addControl(window, "BUTTON", checkFields[i].label, WS_TABSTOP | BS_AUTOCHECKBOX,
                                      MARGIN, y, width, ROW - 4, ID_FIRST_CHECK + i);
        SendMessageA(dialog.checks[i], BM_SETCHECK, dialog.settings.*checkFields[i].field ? BST_CHECKED : 0,
                     0);
    }
    y += 4;
    addControl(window, "STATIC", "Screen resolution:", 0, MARGIN, y + 3, 110, ROW - 4, -1);
    dialog.resolution = addControl(window, "COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                   MARGIN + 115, y, width - 115, 240, ID_RESOLUTION);
    fillResolutionList();
    y += ROW + 12;
    addControl(window, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, CLIENT_WIDTH - MARGIN - 170, y, 80, 26,
               IDOK);
    addControl(window, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, CLIENT_WIDTH - MARGIN - 80, y, 80, 26,
               IDCANCEL);
}

static int clientHeight() {
    return MARGIN + CHECK_COUNT * ROW + 4 + ROW + 12 + 26 + MARGIN;
}

// Takes the controls' state into the settings and writes the file; false (with a message) when
// the file could not be written, so the dialog stays open and nothing is lost.
static bool saveFromControls() {
    SaverSettings s = dialog.settings;  // keeps the value the dialog does not show
    for (int i = 0; i < CHECK_COUNT; i++)
        s.*checkFields[i].field = SendMessageA(dialog.checks[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
    LRESULT index = SendMessageA(dialog.resolution, CB_GETCURSEL, 0, 0);
    if (index >= 0 && index < RESOLUTION_COUNT) s.resolutionIndex = (uint32_t)index;
    if (!dialog.path.empty() && writeSettingsFile(dialog.path, s)) return true;
    std::string text = "The settings could not be saved to\n" +
                       (dialog.path.empty() ? std::string("(no application data folder)") : dialog.path);
    MessageBoxA(dialog.window, text.c_str(), dialogTitle, MB_OK | MB_ICONERROR);
    return false;
}

static LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
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
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame = {0, 0, CLIENT_WIDTH, clientHeight()};
    AdjustWindowRect(&frame, style, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return CreateWindowExA(WS_EX_DLGMODALFRAME, "LumivaneSettings", dialogTitle, style, x, y, width, height,
                           nullptr, nullptr, instance, nullptr);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    dialog.path = settingsFilePath();
    dialog.settings = loadSettings(dialog.path);
    dialog.font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    dialog.window = createDialogWindow(instance);
    if (!dialog.window) return 1;
    createControls(dialog.window);
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
