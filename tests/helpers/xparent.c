/* xparent: a test helper that plays the part of a screensaver host. It makes a top-level window,
 * starts a program that is to draw into it, saves what the window shows once it has settled,
 * then ends the program as a host would (destroying the window, SIGTERM or SIGINT) and prints how.
 *   xparent [--env] [--end destroy|term|int] [--settle MS] [--again FILE] WxH OUT.ppm PROGRAM [ARGS...]
 * "{}" in ARGS becomes the window number (decimal); --env also hands it over the way xscreensaver
 * does (XSCREENSAVER_WINDOW=0x...). With --again, once FILE exists the window is hidden and shown
 * again (a fresh exposure) and its picture saved a second time, as OUT.ppm.again.
 * Prints "status=N ms=T others=W" (T: milliseconds from the end request to the program's exit;
 * W: other viewable top-level windows when the picture was taken) and exits 0, or 1 when
 * something did not happen in time. LUMIVANE_TIME_SCALE (a whole number) stretches those limits
 * for slow builds; the program is never left running. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000L + t.tv_nsec / 1000000L;
}

static int channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) shift++;
    unsigned long top = mask >> shift;
    return (int)(((pixel & mask) >> shift) * 255 / top);
}

/* The window's pixels as RGB bytes, the top row first; NULL when it cannot be read. */
static unsigned char* grab(Display* display, Window window, int width, int height) {
    XImage* image = XGetImage(display, window, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
    if (!image) return NULL;
    unsigned char* rgb = malloc((size_t)width * (size_t)height * 3);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* out = rgb + ((size_t)y * (size_t)width + (size_t)x) * 3;
            out[0] = (unsigned char)channel(pixel, image->red_mask);
            out[1] = (unsigned char)channel(pixel, image->green_mask);
            out[2] = (unsigned char)channel(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return rgb;
}

static int allWhite(const unsigned char* rgb, int width, int height) {
    for (size_t i = 0; i < (size_t)width * (size_t)height * 3; i++)
        if (rgb[i] != 255) return 0;
    return 1;
}

static int save(const char* path, const unsigned char* rgb, int width, int height) {
    FILE* out = fopen(path, "wb");
    if (!out) return 0;
    fprintf(out, "P6\n%d %d\n255\n", width, height);
    fwrite(rgb, 1, (size_t)width * (size_t)height * 3, out);
    return fclose(out) == 0;
}

/* Viewable top-level windows other than `own` (1-pixel helper windows aside): a program that draws
 * into the host window makes none. */
static int otherTopLevels(Display* display, Window own) {
    Window root, parent, *children = NULL;
    unsigned count = 0;
    int others = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return -1;
    for (unsigned i = 0; i < count; i++) {
        XWindowAttributes attributes;
        if (children[i] != own && XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && attributes.width > 1 && attributes.height > 1)
            others++;
    }
    XFree(children);
    return others;
}

static int ended(pid_t child, int* status) {
    int raw = 0;
    if (waitpid(child, &raw, WNOHANG) != child) return 0;
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return 1;
}

int main(int argc, char** argv) {
    int useEnv = 0;
    int endSignal = 0; /* 0: destroy the window */
    long settleMs = 1000;
    const char* againFile = NULL;
    const char* scaleText = getenv("LUMIVANE_TIME_SCALE");
    const long scale = scaleText && atol(scaleText) > 0 ? atol(scaleText) : 1;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; i++) {
        if (!strcmp(argv[i], "--env")) {
            useEnv = 1;
        } else if (!strcmp(argv[i], "--end") && i + 1 < argc) {
            i++;
            endSignal = !strcmp(argv[i], "term") ? SIGTERM : !strcmp(argv[i], "int") ? SIGINT : 0;
        } else if (!strcmp(argv[i], "--again") && i + 1 < argc) {
            againFile = argv[++i];
        } else if (!strcmp(argv[i], "--settle") && i + 1 < argc) {
            settleMs = atol(argv[++i]);
        }
    }
    int width = 0, height = 0;
    if (argc - i < 3 || sscanf(argv[i], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        fprintf(stderr,
                "usage: xparent [--env] [--end destroy|term|int] [--settle MS] [--again FILE] WxH OUT.ppm "
                "PROGRAM [ARGS...]\n");
        return 2;
    }
    const char* outPath = argv[i + 1];
    char** command = argv + i + 2;

    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xparent: no display\n");
        return 1;
    }
    int screen = DefaultScreen(display);
    XSetWindowAttributes attributes;
    attributes.background_pixel = WhitePixel(display, screen);
    attributes.override_redirect = True;
    attributes.event_mask = StructureNotifyMask;
    Window window = XCreateWindow(display, RootWindow(display, screen), 10, 10, (unsigned)width,
                                  (unsigned)height, 0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) break;
    }
    XSync(display, False);

    char id[32];
    snprintf(id, sizeof id, "%lu", window);
    for (char** arg = command; *arg; arg++)
        if (!strcmp(*arg, "{}")) *arg = id;
    if (useEnv) {
        char hex[32];
        snprintf(hex, sizeof hex, "0x%lx", window);
        setenv("XSCREENSAVER_WINDOW", hex, 1);
    }
    pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        _exit(127);
    }

    /* Settled: some time after the window first shows something other than its white background. */
    int status = 0;
    long changedAt = 0;
    long start = nowMs();
    unsigned char* rgb = NULL;
    for (;;) {
        if (ended(child, &status)) {
            printf("status=%d ms=early\n", status);
            return 1;
        }
        free(rgb);
        rgb = grab(display, window, width, height);
        long now = nowMs();
        if (!changedAt && rgb && !allWhite(rgb, width, height)) changedAt = now;
        if (changedAt && now - changedAt >= settleMs) break;
        if (now - start > 30000 * scale) {
            printf("status=running ms=nothing-drawn\n");
            kill(child, SIGKILL);
            return 1;
        }
        usleep(100000);
    }
    int others = otherTopLevels(display, window);
    if (!save(outPath, rgb, width, height)) {
        kill(child, SIGKILL);
        return 1;
    }
    free(rgb);
    if (againFile) {
        while (access(againFile, F_OK) != 0) {
            if (ended(child, &status) || nowMs() - start > 60000 * scale) {
                printf("status=%d ms=no-second-picture\n", status);
                kill(child, SIGKILL);
                return 1;
            }
            usleep(50000);
        }
        XUnmapWindow(display, window);
        XMapWindow(display, window);
        XSync(display, False);
        usleep((useconds_t)settleMs * 1000);
        char again[4096];
        snprintf(again, sizeof again, "%s.again", outPath);
        rgb = grab(display, window, width, height);
        if (!rgb || !save(again, rgb, width, height)) {
            kill(child, SIGKILL);
            return 1;
        }
        free(rgb);
    }

    long endAt = nowMs();
    if (endSignal) {
        kill(child, endSignal);
    } else {
        XDestroyWindow(display, window);
        XSync(display, False);
    }
    while (!ended(child, &status)) {
        if (nowMs() - endAt > 10000 * scale) {
            printf("status=running ms=timeout\n");
            kill(child, SIGKILL);
            return 1;
        }
        usleep(10000);
    }
    printf("status=%d ms=%ld others=%d\n", status, nowMs() - endAt, others);
    XCloseDisplay(display);
    return 0;
}
