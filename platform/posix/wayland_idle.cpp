#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "platform/idle_watch.h"

struct IdleWatch {
    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* notifier = nullptr;
    org_kde_kwin_idle* kdeIdle = nullptr;
    pid_t run = 0;  // the full-screen run while one is up
    bool idle = false;
    bool resumed = false;
};

static IdleWatch watch;

static void onGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (strcmp(interface, wl_seat_interface.name) == 0 && !watch.seat) {
        watch.seat = (wl_seat*)wl_registry_bind(registry, name, &wl_seat_interface, 1);
    } else if (strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !watch.notifier) {
        watch.notifier =
            (ext_idle_notifier_v1*)wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1);
    } else if (strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !watch.kdeIdle) {
        watch.kdeIdle = (org_kde_kwin_idle*)wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1);
    }
}
static void onGlobalRemove(void*, wl_registry*, uint32_t) {}
static const wl_registry_listener registryListener = {onGlobal, onGlobalRemove};

static void becameIdle() {
    watch.idle = true;
}
static void becameActive() {
    watch.resumed = true;
}
static void onIdled(void*, ext_idle_notification_v1*) {
    becameIdle();
}
static void onResumed(void*, ext_idle_notification_v1*) {
    becameActive();
}
static const ext_idle_notification_v1_listener notificationListener = {onIdled, onResumed};
static void onKdeIdle(void*, org_kde_kwin_idle_timeout*) {
    becameIdle();
}
static void onKdeResumed(void*, org_kde_kwin_idle_timeout*) {
    becameActive();
}
static const org_kde_kwin_idle_timeout_listener kdeTimeoutListener = {onKdeIdle, onKdeResumed};

// One watcher per compositor socket: the lock lives as long as the process.
static bool takeSessionLock() {
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    const char* name = getenv("WAYLAND_DISPLAY");
    if (!runtime || !*runtime) return true;  // nowhere to keep a lock: no check
    std::string display = name && *name ? name : "wayland-0";
    for (char& c : display)
        if (c == '/') c = '_';
    std::string path = std::string(runtime) + "/lumivane-idle-" + display + ".lock";
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;
    return flock(fd, LOCK_EX | LOCK_NB) == 0;
}

static void startRun(const std::vector<std::string>& words, const sigset_t& original) {
    std::vector<char*> argv;
    static char name[] = "lumivane";
    argv.push_back(name);
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    // By its own path rather than /proc/self/exe, so that the run goes by the program's name.
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return;
    self[length] = '\0';
    pid_t child = fork();
    if (child == 0) {
        sigprocmask(SIG_SETMASK, &original, nullptr);
        execv(self, argv.data());
        _exit(127);
    }
    if (child > 0) watch.run = child;
}

static void endRun() {
    if (watch.run > 0) kill(watch.run, SIGTERM);
}

static void reapRuns() {
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(-1, &status, WNOHANG)) > 0)
        if (ended == watch.run) watch.run = 0;
}

static int compositorGone() {
    fprintf(stderr, "lumivane: the Wayland compositor has gone; the idle watcher ends\n");
    endRun();
    return 1;
}

// Reads and handles what the compositor sent; false once the connection is lost.
static bool takeEvents(bool readable) {
    if (readable && wl_display_read_events(watch.display) < 0) return false;
    if (!readable) wl_display_cancel_read(watch.display);
    return wl_display_dispatch_pending(watch.display) >= 0 && wl_display_get_error(watch.display) == 0;
}

int runIdleWatcher(uint32_t idleMs, const std::vector<std::string>& runWords) {
    watch = IdleWatch();
    watch.display = wl_display_connect(nullptr);
    if (!watch.display) {
        fprintf(stderr, "lumivane: --idle needs a Wayland compositor, and none answers\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(watch.display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    if (wl_display_roundtrip(watch.display) < 0) return compositorGone();
    if (!watch.seat || (!watch.notifier && !watch.kdeIdle)) {
        fprintf(stderr,
                "lumivane: this compositor tells no idle time (neither ext-idle-notify-v1 nor "
                "org_kde_kwin_idle), so --idle cannot work here\n");
        return 1;
    }
    if (!takeSessionLock()) {
        fprintf(stderr, "lumivane: an idle watcher already runs for this session\n");
        return 0;
    }
    // The newer protocol where there is one: it promises to respect idle inhibitors.
    if (watch.notifier) {
        ext_idle_notification_v1* notification =
            ext_idle_notifier_v1_get_idle_notification(watch.notifier, idleMs, watch.seat);
        ext_idle_notification_v1_add_listener(notification, &notificationListener, nullptr);
    } else {
        org_kde_kwin_idle_timeout* timeout =
            org_kde_kwin_idle_get_idle_timeout(watch.kdeIdle, watch.seat, idleMs);
        org_kde_kwin_idle_timeout_add_listener(timeout, &kdeTimeoutListener, nullptr);
    }

    // Signals come as reads, so one poll waits for everything and nothing runs between events.
    sigset_t handled, original;
    sigemptyset(&handled);
    for (int number : {SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&handled, number);
    sigprocmask(SIG_BLOCK, &handled, &original);
    int signals = signalfd(-1, &handled, SFD_CLOEXEC | SFD_NONBLOCK);
    for (;;) {
        while (wl_display_prepare_read(watch.display) != 0)
            if (wl_display_dispatch_pending(watch.display) < 0) return compositorGone();
        if (wl_display_flush(watch.display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(watch.display);
            return compositorGone();
        }
        pollfd waited[2] = {{wl_display_get_fd(watch.display), POLLIN, 0}, {signals, POLLIN, 0}};
        int ready = poll(waited, signals >= 0 ? 2 : 1, -1);
        bool readable = ready > 0 && (waited[0].revents & (POLLIN | POLLHUP | POLLERR));
        if (!takeEvents(readable)) return compositorGone();
        if (ready > 0 && signals >= 0 && (waited[1].revents & POLLIN)) {
            signalfd_siginfo info;
            while (read(signals, &info, sizeof info) == (ssize_t)sizeof info) {
                if (info.ssi_signo == SIGCHLD) continue;
                endRun();
                while (watch.run > 0 && waitpid(watch.run, nullptr, 0) < 0 && errno == EINTR) {
                }
                return 0;
            }
            reapRuns();
        }
        if (watch.idle && !watch.resumed && watch.run == 0) startRun(runWords, original);
        if (watch.resumed) endRun();
        watch.idle = false;
        watch.resumed = false;
    }
}
