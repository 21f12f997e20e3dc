#include "platform/preview.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/app_state.h"
#include "platform/install_path.h"
#include "tests/windows/scratch_folder.h"

// A bottom-up BMP of `bits` (24 or 32) per pixel whose pixel (x, y) holds B = x, G = y,
// R = x + y, but for the top-left one, stored as the bytes 0x10, 0x20, 0x30.
static std::vector<uint8_t> testBitmap(int32_t width, int32_t height, int bits) {
    int bytesPerPixel = bits / 8;
    uint32_t stride = ((uint32_t)width * bytesPerPixel + 3) & ~3u;
    uint32_t size = 54 + stride * (uint32_t)height;
    std::vector<uint8_t> b(size, 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; i++) b[at + i] = (uint8_t)(value >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, (uint32_t)width, 4);
    put(22, (uint32_t)height, 4);
    put(26, 1, 2);
    put(28, (uint32_t)bits, 2);
    for (int32_t y = 0; y < height; y++) {
        uint8_t* row = &b[54 + stride * (uint32_t)(height - 1 - y)];
        for (int32_t x = 0; x < width; x++) {
            uint8_t* p = row + x * bytesPerPixel;
            p[0] = (uint8_t)x;
            p[1] = (uint8_t)y;
            p[2] = (uint8_t)(x + y);
        }
    }
    uint8_t* topLeft = &b[54 + stride * (uint32_t)(height - 1)];
    topLeft[0] = 0x10;
    topLeft[1] = 0x20;
    topLeft[2] = 0x30;
    return b;
}

// What the child window showed, read with GetPixel once it had painted.
struct PreviewSeen {
    bool childFound;
    int32_t childWidth;
    int32_t childHeight;
    std::vector<COLORREF> pixels;  // row by row over the parent's client area
};

static PreviewSeen seen;
static int32_t parentWidth;
static int32_t parentHeight;

static VOID CALLBACK inspectAndClose(HWND parent, UINT, UINT_PTR timer, DWORD) {
    KillTimer(parent, timer);
    HWND child = FindWindowExA(parent, nullptr, "Nobrell", "Nobrell");
    seen.childFound = child != nullptr;
    if (child) {
        RECT client;
        GetClientRect(child, &client);
        seen.childWidth = client.right;
        seen.childHeight = client.bottom;
        UpdateWindow(child);
        HDC dc = GetDC(child);
        for (int32_t y = 0; y < parentHeight; y++)
            for (int32_t x = 0; x < parentWidth; x++) seen.pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(child, dc);
    }
    // As the settings page does when it closes: the child goes with its parent.
    DestroyWindow(parent);
}

class PreviewWindow : public ::testing::Test {
   protected:
    ScratchFolder folder;
    std::string savedFolder;

    void SetUp() override {
        savedFolder = installPath.data;
        installPath.data = folder.path;
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = DefWindowProcA;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        parentClass.lpszClassName = "PreviewTestParent";
        RegisterClassA(&parentClass);
    }
    void TearDown() override { installPath.data = savedFolder; }

    // Runs the preview in a parent of the given client size; returns its exit status.
    int runIn(int32_t width, int32_t height) {
        parentWidth = width;
        parentHeight = height;
        seen = PreviewSeen();
        RECT frame = {0, 0, width, height};
        AdjustWindowRect(&frame, WS_POPUP, FALSE);
        HWND parent = CreateWindowExA(0, "PreviewTestParent", "parent", WS_POPUP | WS_VISIBLE, 0, 0,
                                      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (!parent) return -1;
        SetTimer(parent, 1, 500, inspectAndClose);
        return runPreview((unsigned long)(uintptr_t)parent);
    }

    void expectAllBlack() {
        ASSERT_EQ((size_t)parentWidth * parentHeight, seen.pixels.size());
        size_t black = 0;
        for (size_t i = 0; i < seen.pixels.size(); i++) black += seen.pixels[i] == RGB(0, 0, 0);
        EXPECT_EQ(seen.pixels.size(), black);
    }
};

TEST_F(PreviewWindow, PaintsThePictureIntoAParent152Wide) {
    ASSERT_TRUE(writeFileBytes(folder.file("preview.ppk"), testBitmap(152, 100, 24)));
    EXPECT_EQ(0, runIn(152, 112));
    ASSERT_TRUE(seen.childFound);
    EXPECT_EQ(152, seen.childWidth);
    EXPECT_EQ(112, seen.childHeight);
    ASSERT_EQ(152u * 112u, seen.pixels.size());
    // Stored B, G, R: the bytes 0x10, 0x20, 0x30 are red 0x30, green 0x20, blue 0x10.
    EXPECT_EQ(RGB(0x30, 0x20, 0x10), seen.pixels[0]);
    int wrong = 0;
    for (int32_t y = 0; y < 112; y++) {
        for (int32_t x = 0; x < 152; x++) {
            if (x == 0 && y == 0) continue;
            // Below the picture the window is black.
            COLORREF expected = y < 100 ? RGB((x + y) & 0xff, y, x) : RGB(0, 0, 0);
            if (seen.pixels[(size_t)y * 152 + x] != expected && wrong++ < 3)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex
                              << seen.pixels[(size_t)y * 152 + x];
        }
    }
    EXPECT_EQ(0, wrong);
}

TEST_F(PreviewWindow, OtherWidthsMissingOrUnusablePicturesAreBlack) {
    ASSERT_TRUE(writeFileBytes(folder.file("preview.ppk"), testBitmap(152, 100, 24)));
    EXPECT_EQ(0, runIn(151, 40));
    expectAllBlack();
    EXPECT_EQ(0, runIn(153, 40));
    expectAllBlack();

    ASSERT_TRUE(writeFileBytes(folder.file("preview.ppk"), testBitmap(152, 100, 32)));
    EXPECT_EQ(0, runIn(152, 40));
    expectAllBlack();

    std::vector<uint8_t> truncated = testBitmap(152, 100, 24);
    truncated.resize(60);
    ASSERT_TRUE(writeFileBytes(folder.file("preview.ppk"), truncated));
    EXPECT_EQ(0, runIn(152, 40));
    expectAllBlack();

    DeleteFileA(folder.file("preview.ppk").c_str());
    EXPECT_EQ(0, runIn(152, 40));
    expectAllBlack();
}

TEST_F(PreviewWindow, NoParentWindowEndsAtOnce) {
    // Not a window: nothing to put the child into, and no loop waiting for a quit message.
    EXPECT_EQ(0, runPreview(0x7ffffff0ul));
}

// The picture the installer ships, when the test run names it (scripts/test-windows.sh does).
TEST_F(PreviewWindow, PaintsTheShippedPicture) {
    const char* shipped = getenv("LUMIVANE_PREVIEW_PPK");
    if (!shipped || !*shipped) GTEST_SKIP() << "LUMIVANE_PREVIEW_PPK names no picture";
    ASSERT_TRUE(CopyFileA(shipped, folder.file("preview.ppk").c_str(), FALSE)) << shipped;
    SDL_Surface* picture = SDL_LoadBMP(shipped);
    ASSERT_NE(nullptr, picture);
    ASSERT_EQ(24, picture->format->BitsPerPixel);
    EXPECT_EQ(0, runIn(152, 112));
    ASSERT_EQ(152u * 112u, seen.pixels.size());
    int wrong = 0;
    size_t lit = 0;
    for (int32_t y = 0; y < 112; y++) {
        for (int32_t x = 0; x < 152; x++) {
            COLORREF expected = RGB(0, 0, 0);
            if (x < picture->w && y < picture->h) {
                const uint8_t* p = (const uint8_t*)picture->pixels + (size_t)y * picture->pitch + x * 3;
                expected = RGB(p[2], p[1], p[0]);
            }
            COLORREF actual = seen.pixels[(size_t)y * 152 + x];
            lit += actual != RGB(0, 0, 0);
            if (actual != expected && wrong++ < 3)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << actual << ", not "
                              << expected;
        }
    }
    SDL_FreeSurface(picture);
    EXPECT_EQ(0, wrong);
    EXPECT_GT(lit, 152u * 112u / 20) << "the picture is nearly black";
}
