/* xclose: a test helper that asks a top-level window to close, as a window manager's close
 * button does (a WM_DELETE_WINDOW message), where no window manager runs.
 *   xclose WINDOW        (decimal or 0x hexadecimal)
 * Exits 0 once the message is sent, 1 when the display or the window is missing. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: xclose WINDOW\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) return 1;
    Window window = (Window)strtoul(argv[1], NULL, 0);
    XWindowAttributes attributes;
    if (!window || !XGetWindowAttributes(display, window, &attributes)) return 1;
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
