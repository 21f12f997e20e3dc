#include <EGL/egl.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "layer-shell-client-protocol.h"
#include "platform/desk_gl.h"
#include "viewporter-client-protocol.h"

enum { DESK_OUTPUTS_MAX = 16 };

// One output and the layer surface that covers it.
struct DeskOutput {
    uint32_t global = 0;  // the registry's name of the wl_output
    wl_output* output = nullptr;
    std::string name;  // wl_output.name where the compositor gives it
    int32_t scale = 1;
    uint32_t scale120 = 0;  // the compositor's preferred fractional scale, in 120ths; 0 until told
    wl_surface* surface = nullptr;
    wp_fractional_scale_v1* fractional = nullptr;
    wp_viewport* viewport = nullptr;  // maps a fractionally scaled buffer onto the surface
    zwlr_layer_surface_v1* layer = nullptr;
    int32_t width = 0;  // as configured, in surface coordinates
    int32_t height = 0;
    bool configured = false;
    wl_buffer* black = nullptr;  // a cover's picture
};

struct Desk {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    uint32_t compositorVersion = 0;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    wp_fractional_scale_manager_v1* fractionalScales = nullptr;
    wp_viewporter* viewporter = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    wl_touch* touch = nullptr;
    DeskOutput* outputs[DESK_OUTPUTS_MAX] = {};
    int32_t outputCount = 0;
    DeskOutput* scene = nullptr;
    std::string wantedOutput;
    EGLDisplay egl = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    wl_egl_window* eglWindow = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    wl_callback* frame = nullptr;
    bool frameWanted = false;
    bool started = false;  // outputs found at start-up are set up; later ones are plugged in
    bool running = false;  // the scene has been placed once; an output that comes later may take it
    DeskGlNews news;
};

static Desk desk;

// The compositor has gone: nothing is left to draw on, and Mesa's next swap on the dead
// connection would crash. That is an ordinary end of the run.
[[noreturn]] static void endWithCompositor() {
    _exit(0);
}

// ---- outputs and their surfaces

static wl_buffer* blackBuffer(int32_t width, int32_t height) {
    int32_t stride = width * 4;
    int32_t size = stride * height;
    int fd = memfd_create("lumivane-cover", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    // A fresh file reads as zeros: opaque black in XRGB, with no page of it written.
    if (ftruncate(fd, size) < 0) {
        close(fd);
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(desk.shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

static int32_t pixelsOf(const DeskOutput* out, int32_t side) {
    if (out->viewport && out->scale120) return (int32_t)((side * (int64_t)out->scale120 + 60) / 120);
    return side * (out->scale > 0 ? out->scale : 1);
}

static void paintCover(DeskOutput* out) {
    if (out->black) wl_buffer_destroy(out->black);
    out->black = blackBuffer(pixelsOf(out, out->width), pixelsOf(out, out->height));
    if (!out->black) return;
    wl_surface_attach(out->surface, out->black, 0, 0);
    wl_surface_damage(out->surface, 0, 0, out->width, out->height);
    wl_surface_commit(out->surface);
}

// A fractional scale goes through the viewport (the buffer at scale 1, shown at the surface's
// size); an integer one through the buffer scale.
static void setBufferScale(DeskOutput* out) {
    bool fractional = out->viewport && out->scale120;
    if (desk.compositorVersion >= 3) wl_surface_set_buffer_scale(out->surface, fractional ? 1 : out->scale);
    if (fractional) wp_viewport_set_destination(out->viewport, out->width, out->height);
}

static void onFrameDone(void*, wl_callback* callback, uint32_t) {
    wl_callback_destroy(callback);
    if (callback == desk.frame) desk.frame = nullptr;
    desk.frameWanted = true;
}
static const wl_callback_listener frameListener = {onFrameDone};

// The scene's output gets an EGL window on its surface, and the context draws into it.
static void makeScene(DeskOutput* out) {
    desk.scene = out;
    if (out->black) {
        wl_buffer_destroy(out->black);
        out->black = nullptr;
    }
    setBufferScale(out);
    int32_t width = pixelsOf(out, out->width), height = pixelsOf(out, out->height);
    desk.eglWindow = wl_egl_window_create(out->surface, width, height);
    desk.eglSurface =
        eglCreateWindowSurface(desk.egl, desk.config, (EGLNativeWindowType)desk.eglWindow, nullptr);
    if (desk.eglSurface == EGL_NO_SURFACE) {
        wl_egl_window_destroy(desk.eglWindow);
        desk.eglWindow = nullptr;
        desk.scene = nullptr;
        paintCover(out);
        return;
    }
    eglMakeCurrent(desk.egl, desk.eglSurface, desk.eglSurface, desk.context);
    // Frames come on the compositor's word (frame callbacks), never blocked in the swap: a hidden
    // surface gets no word, and a swap waiting for one would never return.
    eglSwapInterval(desk.egl, 0);
    desk.frameWanted = true;
    desk.news.resized = true;
    desk.news.width = width;
    desk.news.height = height;
}

static void dropScene() {
    if (!desk.scene) return;
    if (desk.frame) wl_callback_destroy(desk.frame);
    desk.frame = nullptr;
    eglMakeCurrent(desk.egl, EGL_NO_SURFACE, EGL_NO_SURFACE, desk.context);
    if (desk.eglSurface != EGL_NO_SURFACE) eglDestroySurface(desk.egl, desk.eglSurface);
    if (desk.eglWindow) wl_egl_window_destroy(desk.eglWindow);
    desk.eglSurface = EGL_NO_SURFACE;
    desk.eglWindow = nullptr;
    desk.scene = nullptr;
    desk.frameWanted = false;
}

// The scene goes on the named output, else on the first the compositor listed that is ready.
static void placeScene() {
    if (desk.scene) return;
    DeskOutput* chosen = nullptr;
    for (int32_t i = 0; i < desk.outputCount && !chosen; i++) {
        DeskOutput* out = desk.outputs[i];
        if (out->configured && !desk.wantedOutput.empty() && out->name == desk.wantedOutput) chosen = out;
    }
    for (int32_t i = 0; i < desk.outputCount && !chosen; i++) {
        if (desk.outputs[i]->configured) chosen = desk.outputs[i];
    }
    if (chosen) makeScene(chosen);
}

// The output's surface follows its configured size at the output's real pixels.
static void followSize(DeskOutput* out, bool sized) {
    if (out == desk.scene) {
        if (sized && desk.eglWindow) {
            setBufferScale(out);
            wl_egl_window_resize(desk.eglWindow, pixelsOf(out, out->width), pixelsOf(out, out->height), 0, 0);
            desk.news.resized = true;
            desk.news.width = pixelsOf(out, out->width);
            desk.news.height = pixelsOf(out, out->height);
            desk.frameWanted = true;
        }
        return;
    }
    if (sized || !out->black) {
        setBufferScale(out);
        paintCover(out);
    } else {
        wl_surface_commit(out->surface);  // takes the acknowledged configure
    }
}

static void onLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                             uint32_t height) {
    DeskOutput* out = (DeskOutput*)data;
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    bool sized = !out->configured || (int32_t)width != out->width || (int32_t)height != out->height;
    out->width = (int32_t)width;
    out->height = (int32_t)height;
    out->configured = true;
    followSize(out, sized);
    // Every output went, then this one came: the scene goes on it.
    if (desk.running && !desk.scene) placeScene();
}

static void removeOutput(int32_t index);

static void onPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    DeskOutput* out = (DeskOutput*)data;
    if (scale == 0 || scale == out->scale120) return;
    out->scale120 = scale;
    if (out->configured) followSize(out, true);
}
static const wp_fractional_scale_v1_listener fractionalListener = {onPreferredScale};

static void onLayerClosed(void* data, zwlr_layer_surface_v1*) {
    for (int32_t i = 0; i < desk.outputCount; i++) {
        if (desk.outputs[i] == data) {
            removeOutput(i);
            return;
        }
    }
}
static const zwlr_layer_surface_v1_listener layerListener = {onLayerConfigure, onLayerClosed};

// Anchored to every edge with no size of its own, the surface takes the whole output, and with
// an exclusive zone of -1 nothing (a panel's zone) moves it aside.
static void coverOutput(DeskOutput* out) {
    out->surface = wl_compositor_create_surface(desk.compositor);
    if (desk.fractionalScales && desk.viewporter) {
        out->viewport = wp_viewporter_get_viewport(desk.viewporter, out->surface);
        out->fractional =
            wp_fractional_scale_manager_v1_get_fractional_scale(desk.fractionalScales, out->surface);
        wp_fractional_scale_v1_add_listener(out->fractional, &fractionalListener, out);
    }
    out->layer = zwlr_layer_shell_v1_get_layer_surface(desk.layerShell, out->surface, out->output,
                                                       ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "lumivane");
    zwlr_layer_surface_v1_add_listener(out->layer, &layerListener, out);
    zwlr_layer_surface_v1_set_size(out->layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(
        out->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                        ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(out->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(out->layer,
                                                     ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    wl_surface_commit(out->surface);
}

static void onOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                             const char*, int32_t) {}
static void onOutputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
static void onOutputDone(void*, wl_output*) {}
static void onOutputScale(void* data, wl_output*, int32_t factor) {
    DeskOutput* out = (DeskOutput*)data;
    if (factor < 1 || factor == out->scale) return;
    out->scale = factor;
    if (out->configured) followSize(out, true);
}
static void onOutputName(void* data, wl_output*, const char* name) {
    ((DeskOutput*)data)->name = name ? name : "";
}
static void onOutputDescription(void*, wl_output*, const char*) {}
static const wl_output_listener outputListener = {onOutputGeometry, onOutputMode, onOutputDone,
                                                  onOutputScale,    onOutputName, onOutputDescription};

static void addOutput(uint32_t global, uint32_t version) {
    if (desk.outputCount >= DESK_OUTPUTS_MAX) return;
    DeskOutput* out = new DeskOutput();
    out->global = global;
    out->output =
        (wl_output*)wl_registry_bind(desk.registry, global, &wl_output_interface, version < 4 ? version : 4);
    wl_output_add_listener(out->output, &outputListener, out);
    desk.outputs[desk.outputCount++] = out;
    if (desk.started) coverOutput(out);
}

static void removeOutput(int32_t index) {
    DeskOutput* out = desk.outputs[index];
    bool wasScene = out == desk.scene;
    if (wasScene) dropScene();
    if (out->fractional) wp_fractional_scale_v1_destroy(out->fractional);
    if (out->viewport) wp_viewport_destroy(out->viewport);
    if (out->layer) zwlr_layer_surface_v1_destroy(out->layer);
    if (out->surface) wl_surface_destroy(out->surface);
    if (out->black) wl_buffer_destroy(out->black);
    if (out->output) {
        if (wl_output_get_version(out->output) >= 3) {
            wl_output_release(out->output);
        } else {
            wl_output_destroy(out->output);
        }
    }
    delete out;
    for (int32_t i = index; i + 1 < desk.outputCount; i++) desk.outputs[i] = desk.outputs[i + 1];
    desk.outputCount--;
    // The scene moves to another output rather than leaving every screen black.
    if (wasScene) placeScene();
}

// ---- input: anything but pointer motion ends the run

static void onKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) {
    close(fd);
}
static void onKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
static void onKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
static void onKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) desk.news.inputEnds = true;
}
static void onModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
static void onRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
static const wl_keyboard_listener keyboardListener = {onKeymap, onKeyboardEnter, onKeyboardLeave,
                                                      onKey,    onModifiers,     onRepeatInfo};

static void onPointerEnter(void*, wl_pointer* pointer, uint32_t serial, wl_surface*, wl_fixed_t, wl_fixed_t) {
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the saver's surfaces
}
static void onPointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
static void onPointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {
    desk.news.pointerMoved = true;
}
static void onButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) desk.news.inputEnds = true;
}
static void onAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {
    desk.news.pointerMoved = true;
}
static void onPointerFrame(void*, wl_pointer*) {}
static void onAxisSource(void*, wl_pointer*, uint32_t) {}
static void onAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
static void onAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
// Filled by name: later libwayland releases add events (for seat versions the saver does not bind).
static wl_pointer_listener makePointerListener() {
    wl_pointer_listener listener = {};
    listener.enter = onPointerEnter;
    listener.leave = onPointerLeave;
    listener.motion = onPointerMotion;
    listener.button = onButton;
    listener.axis = onAxis;
    listener.frame = onPointerFrame;
    listener.axis_source = onAxisSource;
    listener.axis_stop = onAxisStop;
    listener.axis_discrete = onAxisDiscrete;
    return listener;
}
static const wl_pointer_listener pointerListener = makePointerListener();

static void onTouchDown(void*, wl_touch*, uint32_t, uint32_t, wl_surface*, int32_t, wl_fixed_t, wl_fixed_t) {
    desk.news.inputEnds = true;
}
static void onTouchUp(void*, wl_touch*, uint32_t, uint32_t, int32_t) {}
static void onTouchMotion(void*, wl_touch*, uint32_t, int32_t, wl_fixed_t, wl_fixed_t) {}
static void onTouchFrame(void*, wl_touch*) {}
static void onTouchCancel(void*, wl_touch*) {}
static wl_touch_listener makeTouchListener() {
    wl_touch_listener listener = {};
    listener.down = onTouchDown;
    listener.up = onTouchUp;
    listener.motion = onTouchMotion;
    listener.frame = onTouchFrame;
    listener.cancel = onTouchCancel;
    return listener;
}
static const wl_touch_listener touchListener = makeTouchListener();

// A device kind that goes away (a virtual keyboard's end) takes its object with it; one that comes
// back needs a new object.
static void onSeatCapabilities(void*, wl_seat* seat, uint32_t capabilities) {
    bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    bool touch = capabilities & WL_SEAT_CAPABILITY_TOUCH;
    if (keyboard && !desk.keyboard) {
        desk.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(desk.keyboard, &keyboardListener, nullptr);
    } else if (!keyboard && desk.keyboard) {
        wl_keyboard_destroy(desk.keyboard);
        desk.keyboard = nullptr;
    }
    if (pointer && !desk.pointer) {
        desk.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(desk.pointer, &pointerListener, nullptr);
    } else if (!pointer && desk.pointer) {
        wl_pointer_destroy(desk.pointer);
        desk.pointer = nullptr;
    }
    if (touch && !desk.touch) {
        desk.touch = wl_seat_get_touch(seat);
        wl_touch_add_listener(desk.touch, &touchListener, nullptr);
    } else if (!touch && desk.touch) {
        wl_touch_destroy(desk.touch);
        desk.touch = nullptr;
    }
}
static void onSeatName(void*, wl_seat*, const char*) {}
static const wl_seat_listener seatListener = {onSeatCapabilities, onSeatName};

// ---- the registry

static void onGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (strcmp(interface, wl_compositor_interface.name) == 0 && !desk.compositor) {
        desk.compositorVersion = version < 4 ? version : 4;
        desk.compositor = (wl_compositor*)wl_registry_bind(registry, name, &wl_compositor_interface,
                                                           desk.compositorVersion);
    } else if (strcmp(interface, wl_shm_interface.name) == 0 && !desk.shm) {
        desk.shm = (wl_shm*)wl_registry_bind(registry, name, &wl_shm_interface, 1);
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && !desk.seat) {
        desk.seat = (wl_seat*)wl_registry_bind(registry, name, &wl_seat_interface, version < 5 ? version : 5);
        wl_seat_add_listener(desk.seat, &seatListener, nullptr);
    } else if (strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && !desk.layerShell) {
        desk.layerShell =
            (zwlr_layer_shell_v1*)wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1);
    } else if (strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
               !desk.fractionalScales) {
        desk.fractionalScales = (wp_fractional_scale_manager_v1*)wl_registry_bind(
            registry, name, &wp_fractional_scale_manager_v1_interface, 1);
    } else if (strcmp(interface, wp_viewporter_interface.name) == 0 && !desk.viewporter) {
        desk.viewporter = (wp_viewporter*)wl_registry_bind(registry, name, &wp_viewporter_interface, 1);
    } else if (strcmp(interface, wl_output_interface.name) == 0) {
        addOutput(name, version);
    }
}

static void onGlobalRemove(void*, wl_registry*, uint32_t name) {
    for (int32_t i = 0; i < desk.outputCount; i++) {
        if (desk.outputs[i]->global == name) {
            removeOutput(i);
            return;
        }
    }
}
static const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

// ---- events

static void checkConnection() {
    if (wl_display_get_error(desk.display) != 0) endWithCompositor();
}

// Reads what the compositor sent, waiting up to `ms` for it (0: only what is there).
static void readEvents(int ms) {
    while (wl_display_prepare_read(desk.display) != 0) {
        if (wl_display_dispatch_pending(desk.display) < 0) endWithCompositor();
    }
    if (wl_display_flush(desk.display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(desk.display);
        endWithCompositor();
    }
    pollfd watched = {wl_display_get_fd(desk.display), POLLIN, 0};
    int ready = poll(&watched, 1, ms);
    if (ready > 0 && (watched.revents & (POLLIN | POLLHUP | POLLERR))) {
        if (wl_display_read_events(desk.display) < 0) endWithCompositor();
    } else {
        wl_display_cancel_read(desk.display);
    }
    if (wl_display_dispatch_pending(desk.display) < 0) endWithCompositor();
    checkConnection();
}

// ---- EGL

// An opaque visual: with alpha bits the cleared background (alpha 0) would show what lies below.
static bool chooseConfig(bool multisampled) {
    EGLint wanted[] = {EGL_SURFACE_TYPE,
                       EGL_WINDOW_BIT,
                       EGL_RENDERABLE_TYPE,
                       EGL_OPENGL_BIT,
                       EGL_RED_SIZE,
                       8,
                       EGL_GREEN_SIZE,
                       8,
                       EGL_BLUE_SIZE,
                       8,
                       EGL_DEPTH_SIZE,
                       24,
                       EGL_SAMPLE_BUFFERS,
                       multisampled ? 1 : 0,
                       EGL_SAMPLES,
                       multisampled ? 4 : 0,
                       EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!eglChooseConfig(desk.egl, wanted, configs, 64, &count) || count < 1) return false;
    desk.config = configs[0];
    for (EGLint i = 0; i < count; i++) {
        EGLint alpha = 0;
        eglGetConfigAttrib(desk.egl, configs[i], EGL_ALPHA_SIZE, &alpha);
        if (alpha == 0) {
            desk.config = configs[i];
            break;
        }
    }
    return true;
}

static bool openEgl(std::string* problem, bool* multisampled) {
    desk.egl = eglGetDisplay((EGLNativeDisplayType)desk.display);
    if (desk.egl == EGL_NO_DISPLAY || !eglInitialize(desk.egl, nullptr, nullptr)) {
        *problem = "no EGL for the Wayland compositor";
        return false;
    }
    // Desktop GL: Mesa gives its compatibility profile, where the fixed-function pipeline lives.
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *problem = "EGL offers no desktop OpenGL here";
        return false;
    }
    *multisampled = chooseConfig(true);
    if (!*multisampled && !chooseConfig(false)) {
        *problem = "no EGL visual with a depth buffer";
        return false;
    }
    desk.context = eglCreateContext(desk.egl, desk.config, EGL_NO_CONTEXT, nullptr);
    if (desk.context == EGL_NO_CONTEXT) {
        *problem = "no desktop GL context through EGL";
        return false;
    }
    return true;
}

// ---- the run

static bool failOpen(const std::string& why, std::string* problem) {
    *problem = why;
    closeDeskGl();
    return false;
}

bool openDeskGl(const std::string& outputName, HostGlStart* start, std::string* problem) {
    problem->clear();
    const char* chosenDriver = getenv("SDL_VIDEODRIVER");
    const char* waylandDisplay = getenv("WAYLAND_DISPLAY");
    const char* waylandSocket = getenv("WAYLAND_SOCKET");
    if (chosenDriver && *chosenDriver) return false;  // the user's choice of SDL's driver stands
    if ((!waylandDisplay || !*waylandDisplay) && (!waylandSocket || !*waylandSocket)) return false;
    desk = Desk();
    desk.wantedOutput = outputName;
    desk.display = wl_display_connect(nullptr);
    if (!desk.display) return false;
    desk.registry = wl_display_get_registry(desk.display);
    wl_registry_add_listener(desk.registry, &registryListener, nullptr);
    if (wl_display_roundtrip(desk.display) < 0) return failOpen("", problem);
    if (!desk.layerShell || !desk.compositor || !desk.shm)
        return failOpen(
            "The Wayland compositor offers no layer-shell: the scene is a full-screen window on one output, "
            "and other outputs stay uncovered",
            problem);
    // The outputs' names and scales.
    if (wl_display_roundtrip(desk.display) < 0) return failOpen("", problem);
    if (desk.outputCount == 0) return failOpen("The Wayland compositor lists no output", problem);
    bool multisampled = false;
    std::string eglProblem;
    if (!openEgl(&eglProblem, &multisampled)) return failOpen(eglProblem, problem);

    desk.started = true;
    for (int32_t i = 0; i < desk.outputCount; i++) coverOutput(desk.outputs[i]);
    bool named = outputName.empty();
    for (int32_t i = 0; i < desk.outputCount; i++) named = named || desk.outputs[i]->name == outputName;
    // Every output's first configure, then the scene on its output.
    for (int tries = 0; tries < 2 && !desk.scene; tries++) {
        if (wl_display_roundtrip(desk.display) < 0) return failOpen("", problem);
        placeScene();
    }
    if (!desk.scene) return failOpen("The Wayland compositor gives the saver no surface to draw on", problem);
    if (!named)
        fprintf(stderr, "No output \"%s\"; the scene is on %s\n", outputName.c_str(),
                desk.scene->name.c_str());
    EGLint samples = 0;
    eglGetConfigAttrib(desk.egl, desk.config, EGL_SAMPLES, &samples);
    start->width = desk.news.width;
    start->height = desk.news.height;
    start->multisampled = samples > 0;
    // The compositor's frame callbacks pace the pictures to the display.
    start->swapInterval = true;
    desk.news = DeskGlNews();
    desk.running = true;
    return true;
}

bool deskGlFrameWanted() {
    if (!desk.display) return true;
    readEvents(0);
    return desk.scene && desk.frameWanted;
}

void waitForDeskGl(uint32_t ms) {
    if (desk.display) readEvents((int)ms);
}

void swapDeskGl() {
    if (!desk.display) return;
    readEvents(0);  // a compositor gone since the frame began ends the run here, before the swap
    if (!desk.scene || desk.eglSurface == EGL_NO_SURFACE) return;
    if (!desk.frame) {
        desk.frame = wl_surface_frame(desk.scene->surface);
        wl_callback_add_listener(desk.frame, &frameListener, nullptr);
    }
    desk.frameWanted = false;
    eglSwapBuffers(desk.egl, desk.eglSurface);
    if (wl_display_flush(desk.display) < 0 && errno != EAGAIN) endWithCompositor();
}

DeskGlNews pollDeskGl() {
    if (!desk.display) return DeskGlNews();
    readEvents(0);
    DeskGlNews news = desk.news;
    desk.news = DeskGlNews();
    return news;
}

void closeDeskGl() {
    if (!desk.display) return;
    dropScene();
    while (desk.outputCount > 0) removeOutput(desk.outputCount - 1);
    if (desk.egl != EGL_NO_DISPLAY) {
        eglMakeCurrent(desk.egl, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (desk.context != EGL_NO_CONTEXT) eglDestroyContext(desk.egl, desk.context);
        eglTerminate(desk.egl);
    }
    if (desk.keyboard) wl_keyboard_destroy(desk.keyboard);
    if (desk.pointer) wl_pointer_destroy(desk.pointer);
    if (desk.touch) wl_touch_destroy(desk.touch);
    if (desk.seat) wl_seat_destroy(desk.seat);
    if (desk.layerShell) zwlr_layer_shell_v1_destroy(desk.layerShell);
    if (desk.fractionalScales) wp_fractional_scale_manager_v1_destroy(desk.fractionalScales);
    if (desk.viewporter) wp_viewporter_destroy(desk.viewporter);
    if (desk.shm) wl_shm_destroy(desk.shm);
    if (desk.compositor) wl_compositor_destroy(desk.compositor);
    if (desk.registry) wl_registry_destroy(desk.registry);
    wl_display_flush(desk.display);
    wl_display_disconnect(desk.display);
    desk = Desk();
}
