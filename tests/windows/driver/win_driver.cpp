// Stands in for the desktop in the Windows end-to-end tests:
//   win_driver preview PROGRAM WIDTH HEIGHT [PICTURE]  makes a WIDTH x HEIGHT parent window,
//       starts "PROGRAM /p <parent>", expects its child window over the whole client area, destroys
//       the parent and expects status 0. With PICTURE (a 24-bit BMP, or "-" for none) it also
//       reads the screen with GetPixel: the picture when WIDTH is 152, black otherwise. (Wine does
//       not show a child window that another process paints with GDI, so the Wine tests read the
//       pixels in-process instead, in test_win32.)
//   win_driver settings BUTTON CHOICE...  waits for the Settings dialog, makes each CHOICE in turn
//       and presses BUTTON ("OK" or "Cancel"). A CHOICE is "LABEL=ITEM" (picks ITEM in the list
//       labelled "LABEL:"), "+LABEL" or "-LABEL" (expects that list or check box active, or greyed
//       out), or the text of a check box to tick.
// Prints one line per failure; exit status 0 when everything held.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "window_dpi.h"

struct Bitmap {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> bgr;  // top row first, width * 3 bytes a row
};

static uint32_t readLe(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; i--) value = value << 8 | b[at + i];
    return value;
}

// Plain 24-bit BI_RGB pictures only: that is what the preview shows.
static bool loadBitmap(const char* path, Bitmap* bitmap) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    std::vector<uint8_t> b;
    int c;
    while ((c = fgetc(f)) != EOF) b.push_back((uint8_t)c);
    fclose(f);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || readLe(b, 28, 2) != 24) return false;
    uint32_t offset = readLe(b, 10, 4);
    int32_t width = (int32_t)readLe(b, 18, 4);
    int32_t height = (int32_t)readLe(b, 22, 4);
    bool topDown = height < 0;
    if (topDown) height = -height;
    size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    if (width <= 0 || height <= 0 || offset + stride * height > b.size()) return false;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bgr.resize((size_t)width * 3 * height);
    for (int32_t y = 0; y < height; y++) {
        size_t source = offset + stride * (size_t)(topDown ? y : height - 1 - y);
        memcpy(&bitmap->bgr[(size_t)y * width * 3], &b[source], (size_t)width * 3);
    }
    return true;
}

static void pumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

static bool startProcess(const std::string& commandLine, PROCESS_INFORMATION* process) {
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          process);
}

static COLORREF expectedColour(const Bitmap* picture, int32_t width, int32_t x, int32_t y) {
    if (!picture || width != 152 || x >= picture->width || y >= picture->height) return RGB(0, 0, 0);
    const uint8_t* p = &picture->bgr[((size_t)y * picture->width + x) * 3];
    return RGB(p[2], p[1], p[0]);
}

static int checkPreview(const char* program, int32_t width, int32_t height, const char* picturePath) {
    Bitmap bitmap;
    const Bitmap* picture = nullptr;
    bool checkPixels = picturePath != nullptr;
    if (checkPixels && strcmp(picturePath, "-") != 0) {
        if (!loadBitmap(picturePath, &bitmap)) {
            printf("cannot read the 24-bit picture %s\n", picturePath);
            return 1;
        }
        picture = &bitmap;
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = "PreviewParent";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    HWND parent = CreateWindowExA(0, "PreviewParent", "Preview parent", WS_POPUP | WS_VISIBLE, 10, 10,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    pumpMessages(200);

    char command[1024];
    snprintf(command, sizeof command, "\"%s\" /p %lu", program, (unsigned long)(uintptr_t)parent);
    PROCESS_INFORMATION process;
    if (!startProcess(command, &process)) {
        printf("cannot start %s\n", command);
        return 1;
    }
    HWND child = nullptr;
    for (int i = 0; i < 100 && !child; i++) {
        pumpMessages(50);
        child = FindWindowExA(parent, nullptr, "Nobrell", "Nobrell");
    }
    int failures = 0;
    if (!child) {
        printf("no \"Nobrell\" child window appeared in the parent\n");
        failures++;
    } else {
        RECT client;
        GetClientRect(child, &client);
        if (client.right != width || client.bottom != height) {
            printf("child window is %ldx%ld, parent's client area %dx%d\n", client.right, client.bottom,
                   width, height);
            failures++;
        }
        pumpMessages(1500);  // let it paint
    }
    if (child && checkPixels) {
        // The child belongs to another process: read what the screen shows at its place.
        POINT origin = {0, 0};
        ClientToScreen(child, &origin);
        HDC dc = GetDC(nullptr);
        int wrong = 0;
        for (int32_t y = 0; y < height; y += 3) {
            for (int32_t x = 0; x < width; x += 3) {
                COLORREF seen = GetPixel(dc, origin.x + x, origin.y + y);
                COLORREF expected = expectedColour(picture, width, x, y);
                if (seen == expected) continue;
                if (wrong++ < 5) printf("pixel (%d,%d) is %06lx, expected %06lx\n", x, y, seen, expected);
            }
        }
        ReleaseDC(nullptr, dc);
        if (wrong) {
            printf("%d sampled pixels differ\n", wrong);
            failures++;
        }
    }
    DestroyWindow(parent);
    pumpMessages(100);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        printf("the preview did not end when its parent was destroyed\n");
        TerminateProcess(process.hProcess, 99);
        failures++;
    } else {
        DWORD status = 1;
        GetExitCodeProcess(process.hProcess, &status);
        if (status != 0) {
            printf("the preview ended with status %lu\n", status);
            failures++;
        }
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return failures ? 1 : 0;
}

// The drop-down list beside the label "LABEL:" (made right after it), else the check box LABEL.
static HWND findControl(HWND dialog, const std::string& label) {
    HWND caption = FindWindowExA(dialog, nullptr, "Static", (label + ":").c_str());
    if (caption) return GetWindow(caption, GW_HWNDNEXT);
    return FindWindowExA(dialog, nullptr, "Button", label.c_str());
}

// Picks ITEM in a list the way a click does, telling the dialog of the change.
static bool pickItem(HWND dialog, HWND list, const std::string& item) {
    LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)item.c_str());
    if (index == CB_ERR) return false;
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), (LPARAM)list);
    return SendMessageA(list, CB_GETCURSEL, 0, 0) == index;
}

static bool makeChoice(HWND dialog, const std::string& choice) {
    size_t equals = choice.find('=');
    bool expectation = choice[0] == '+' || choice[0] == '-';
    std::string label = expectation ? choice.substr(1) : choice.substr(0, equals);
    HWND control = findControl(dialog, label);
    if (!control) {
        printf("the dialog has no \"%s\" control\n", label.c_str());
        return false;
    }
    if (expectation) {
        bool active = IsWindowEnabled(control) != 0;
        if (active == (choice[0] == '+')) return true;
        printf("\"%s\" is %s\n", label.c_str(), active ? "active, not greyed out" : "greyed out");
        return false;
    }
    if (equals != std::string::npos) {
        if (pickItem(dialog, control, choice.substr(equals + 1))) return true;
        printf("the \"%s\" list has no \"%s\"\n", label.c_str(), choice.substr(equals + 1).c_str());
        return false;
    }
    if (SendMessageA(control, BM_GETCHECK, 0, 0) != BST_CHECKED) SendMessageA(control, BM_CLICK, 0, 0);
    if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) return true;
    printf("\"%s\" did not take the tick\n", label.c_str());
    return false;
}

// The Settings dialog, once it has appeared and settled; null (with a message) when it does not.
static HWND waitForSettings() {
    HWND dialog = nullptr;
    for (int i = 0; i < 300 && !dialog; i++) {
        Sleep(100);
        dialog = FindWindowA(nullptr, "Lumivane Settings");
    }
    if (!dialog) printf("the Settings dialog did not appear\n");
    Sleep(300);
    return dialog;
}

static int driveSettings(const char* buttonText, char** choices, int count) {
    HWND dialog = waitForSettings();
    if (!dialog) return 1;
    HWND button = FindWindowExA(dialog, nullptr, "Button", buttonText);
    if (!button) {
        printf("the dialog has no %s button\n", buttonText);
        return 1;
    }
    for (int i = 0; i < count; i++) {
        if (choices[i][0] && makeChoice(dialog, choices[i])) continue;
        PostMessageA(dialog, WM_CLOSE, 0, 0);  // closed unsaved, so the tests that follow can go on
        return 1;
    }
    SendMessageA(button, BM_CLICK, 0, 0);
    for (int i = 0; i < 100 && IsWindow(dialog); i++) Sleep(100);
    if (IsWindow(dialog)) {
        printf("the dialog stayed open after %s\n", buttonText);
        return 1;
    }
    return 0;
}

struct ControlBox {
    HWND window;
    RECT rect;  // in the dialog's client coordinates
    char kind[32];
    char text[128];
};

static BOOL CALLBACK addControlBox(HWND control, LPARAM data) {
    std::vector<ControlBox>* boxes = (std::vector<ControlBox>*)data;
    ControlBox box = {};
    box.window = control;
    GetWindowRect(control, &box.rect);  // a drop-down list's closed size
    MapWindowPoints(nullptr, GetParent(control), (POINT*)&box.rect, 2);
    GetClassNameA(control, box.kind, sizeof box.kind);
    GetWindowTextA(control, box.text, sizeof box.text);
    boxes->push_back(box);
    return TRUE;
}

// The Settings dialog's layout: every control inside the client area, none over another, and
// each label's and check box's text as wide as its control allows. Prints the client size and the
// font's height, which follow the display's scaling.
static int checkLayout() {
    HWND dialog = waitForSettings();
    if (!dialog) return 1;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<ControlBox> boxes;
    EnumChildWindows(dialog, addControlBox, (LPARAM)&boxes);
    int failures = 0, fontHeight = 0;
    // Font handles do not cross processes (under Wine): the text is measured in the font the dialog
    // is meant to use, the system's message font at its monitor's scaling.
    HFONT font = createMessageFont(windowDpi(dialog));
    HDC dc = GetDC(dialog);
    for (size_t i = 0; i < boxes.size(); i++) {
        const ControlBox& b = boxes[i];
        if (b.rect.left < 0 || b.rect.top < 0 || b.rect.right > client.right ||
            b.rect.bottom > client.bottom) {
            printf("\"%s\" (%ld,%ld-%ld,%ld) is not inside the client area %ldx%ld\n", b.text, b.rect.left,
                   b.rect.top, b.rect.right, b.rect.bottom, client.right, client.bottom);
            failures++;
        }
        for (size_t j = 0; j < i; j++) {
            RECT both;
            if (IntersectRect(&both, &b.rect, &boxes[j].rect)) {
                printf("\"%s\" overlaps \"%s\"\n", b.text, boxes[j].text);
                failures++;
            }
        }
        HGDIOBJ kept = SelectObject(dc, font);
        SIZE text = {0, 0};
        GetTextExtentPoint32A(dc, b.text, (int)strlen(b.text), &text);
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, kept);
        fontHeight = std::max(fontHeight, (int)metrics.tmHeight);
        // A check box's text starts after its box.
        const bool check = (GetWindowLongA(b.window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX &&
                           _stricmp(b.kind, "Button") == 0;
        const int room = b.rect.right - b.rect.left - (check ? GetSystemMetrics(SM_CXMENUCHECK) : 0);
        const bool labelled = _stricmp(b.kind, "Static") == 0 || _stricmp(b.kind, "Button") == 0;
        if (labelled && text.cx > room) {
            printf("\"%s\" needs %ld pixels, has %d\n", b.text, text.cx, room);
            failures++;
        }
        if (labelled && metrics.tmHeight > b.rect.bottom - b.rect.top) {
            printf("\"%s\" is %ld pixels high, its control %ld\n", b.text, metrics.tmHeight,
                   b.rect.bottom - b.rect.top);
            failures++;
        }
    }
    ReleaseDC(dialog, dc);
    DeleteObject(font);
    printf("dialog client %ldx%ld, font height %d, %d controls\n", client.right, client.bottom, fontHeight,
           (int)boxes.size());
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    return failures || boxes.size() < 12 ? 1 : 0;
}

static BOOL CALLBACK printMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    const RECT& r = info.rcMonitor;
    printf("monitor %ldx%ld+%ld+%ld%s\n", r.right - r.left, r.bottom - r.top, r.left, r.top,
           info.dwFlags & MONITORINFOF_PRIMARY ? " primary" : "");
    return TRUE;
}

// The monitors as Windows (or Wine) reports them, in desktop pixels.
static int listMonitors() {
    printf("%d monitors\n", GetSystemMetrics(SM_CMONITORS));
    EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "monitors") == 0) return listMonitors();
    if (argc == 2 && strcmp(argv[1], "layout") == 0) return checkLayout();
    if ((argc == 5 || argc == 6) && strcmp(argv[1], "preview") == 0)
        return checkPreview(argv[2], atoi(argv[3]), atoi(argv[4]), argc == 6 ? argv[5] : nullptr);
    if (argc >= 3 && strcmp(argv[1], "settings") == 0) return driveSettings(argv[2], argv + 3, argc - 3);
    fprintf(stderr,
            "usage: win_driver preview PROGRAM WIDTH HEIGHT [PICTURE] | settings OK|Cancel [CHOICE...] | "
            "layout | monitors\n");
    return 2;
}
