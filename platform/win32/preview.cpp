#include "platform/preview.h"

#include <SDL/SDL.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/install_path.h"
#include "window_dpi.h"

// The picture is read afresh for every paint; nothing is kept between paints.
static SDL_Surface* loadPreviewPicture() {
    // The header is checked first, so a damaged file never makes SDL allocate beyond it.
    return loadPreviewBmp(SDL_RWFromFile(installPath.pathInInstall("preview.ppk").c_str(), "rb"));
}

static void paintPreview(HDC dc) {
    SDL_Surface* picture = loadPreviewPicture();
    std::vector<uint32_t> pixels;
    // The settings page's box grows with its display's scaling; so does the picture.
    composeScaledPreview(picture, previewWidth, previewHeight, windowDpi((HWND)(uintptr_t)previewParent),
                         &pixels);
    if (picture) SDL_FreeSurface(picture);
    for (int32_t y = 0; y < previewHeight && !pixels.empty(); y++) {
        for (int32_t x = 0; x < previewWidth; x++) {
            uint32_t rgb = pixels[(size_t)y * (size_t)previewWidth + (size_t)x];
            SetPixelV(dc, x, y, RGB(rgb >> 16 & 0xff, rgb >> 8 & 0xff, rgb & 0xff));
        }
    }
}

static LRESULT CALLBACK previewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            paintPreview(dc);
            EndPaint(window, &paint);
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int runPreview(unsigned long parent) {
    previewParent = parent;
    HWND parentWindow = (HWND)(uintptr_t)parent;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = previewWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = "Nobrell";
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    // A class this process registered before (an earlier preview) serves again.
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return 0;

    RECT client = {};
    GetClientRect(parentWindow, &client);
    previewWidth = client.right - client.left;
    previewHeight = client.bottom - client.top;
    HWND window = CreateWindowExA(0, "Nobrell", "Nobrell", WS_CHILD | WS_VISIBLE, 0, 0, previewWidth,
                                  previewHeight, parentWindow, nullptr, instance, nullptr);
    // Without a window no quit message would ever come.
    if (!window) return 0;
    previewWindow = (unsigned long)(uintptr_t)window;
    UpdateWindow(window);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
