#pragma once
#include <cstdint>
#include <string>

#include "platform/host_gl.h"
#include "scene/transform.h"
#include "scene/view_edges.h"

// What the window drawn into reported since the last look.
struct VideoNews {
    bool resized = false;       // the picture and the camera now follow a new size
    bool gone = false;          // the window was destroyed: the run should end
    bool inputEnds = false;     // a key, a button or a touch on surfaces of the platform's own
    bool pointerMoved = false;  // pointer motion there, which ends the run only as the settings say
};

// The full-screen OpenGL mode and the camera. One instance per full-screen run.
struct Viewport {
    Vec3 viewCorner;  // lower-left window corner unprojected into eye space (all parts negative)
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;  // as asked, or the desktop's; the mode itself is always 32 bits
    bool windowed = false;     // an ordinary, resizable window with the cursor shown (set before openVideo)
    bool swapWaitsForDisplay = false;  // the buffer swap waits for the display's refresh (swap interval 1)
    bool hosted = false;       // draws into a screensaver framework's window through its own GL context
    bool ownSurfaces = false;  // draws on the platform's own surfaces over every output, not SDL's mode
    std::string outputName;    // the output the scene goes on, where the platform lets it choose

    // All three zero open the desktop mode. Hides the cursor. Exits with status 1 on failure.
    void openVideo(int32_t modeWidth, int32_t modeHeight, int32_t modeBits);
    void initVideo(int32_t modeWidth, int32_t modeHeight, int32_t modeBits);
    int32_t createGlContext();
    void openHostVideo();
    bool openOwnSurfaces();
    void adoptGlStart(const HostGlStart& start);
    // The GL state and the camera once a context is current; `intervalSet`: swap interval 1 took.
    void settleGlContext(bool intervalSet);
    // Works on any current GL context (no SDL needed): viewport, perspective, viewCorner.
    int32_t setProjection(int32_t viewWidth, int32_t viewHeight);
    ViewEdges edges() const;                  // the camera as the scene places things by it
    double edgeXAtDepth(double depth) const;  // left edge of the visible area in the plane z = depth
    double edgeYAtDepth(double depth) const;  // bottom edge
    // A windowed run's window has a new size: the picture and the camera follow it.
    void resizeWindow(int32_t newWidth, int32_t newHeight);
    void toggleFullScreen();
    void swapBuffers();
    // False while the display shows the last picture still and wants no new one (a surface that
    // is hidden); waitForDisplay then waits, up to `ms`, for its word.
    bool frameWanted();
    void waitForDisplay(uint32_t ms);
    // Follows what the window drawn into reported (a host window's new size, its end).
    VideoNews pollVideo();
    void closeVideo();
};

// The fixed GL state every drawing part relies on; needs only a current GL context.
void applyGlState();
// Renderers that draw on the CPU; their swap never waits for the display.
bool isSoftwareRenderer(const char* renderer);
// Plain substring search, so a longer extension name that starts with `name` also counts.
bool hasExtension(const char* extensions, const char* name);
[[noreturn]] void exitOnVideoFailure();
