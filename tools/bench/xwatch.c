// xwatch: sends one input to the X display and tells, in milliseconds, when the user would
// see its effect: a window of a given name mapped and drawn, a file under its final name, or
// a byte from a helper that watches something X cannot see. Native, built by tools/bench.sh.
//
//   xwatch [-t SECONDS] [-q QUIET_MS] ACTION WAIT
//   ACTION  launch CMD ARGS... --   start a program (time from just before the fork)
//           click X Y [BUTTON]      press and release at X,Y (time from the release)
//           release X Y [BUTTON]    release a button held at X,Y (time from the release)
//           move X Y                one pointer move (time from the move)
//           now                     time from now
//   WAIT    window NAME             a top-level named NAME drawn: prints "MAP DRAWN"; DRAWN
//                                   is the last damage before QUIET_MS without any, MAP the
//                                   map (or DRAWN when it was already mapped)
//           file DIR SUFFIX         a file ending in SUFFIX appears in DIR or a new folder in it
//           signal FIFO             a byte arrives on FIFO
// Exit 0 with the times on stdout, 3 when the wait timed out, 2 on a usage error.
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/inotify.h>
#include <time.h>
#include <unistd.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int Usage(void) {
    fprintf(
        stderr,
        "usage: xwatch [-t s] [-q ms] launch CMD... --|click X Y [B]|release X Y [B]|move X Y|now "
        "window NAME|file DIR SUFFIX|signal FIFO\n");
    return 2;
}

static Display* dpy;
static int damageEvent, damageError;

static int IgnoreErrors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;  // a window may vanish between the event and our question
}

// Wine sets both; _NET_WM_NAME carries the UTF-8 text of Japanese captions.
static int NameIs(Window w, const char* name) {
    Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = NULL;
    int same = 0;
    if (XGetWindowProperty(dpy, w, netName, 0, 1024, False, utf8, &type, &format, &n, &after,
                           &data) == Success &&
        data) {
        same = strcmp((char*)data, name) == 0;
        XFree(data);
        if (same) return 1;
    }
    char* plain = NULL;
    if (XFetchName(dpy, w, &plain) && plain) {
        same = strcmp(plain, name) == 0;
        XFree(plain);
    }
    return same;
}

static Window FindMapped(const char* name) {
    Window root = DefaultRootWindow(dpy), parent, *kids = NULL, found = 0;
    unsigned int n = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &kids, &n)) return 0;
    for (unsigned int i = 0; i < n && !found; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, kids[i], &a) && a.map_state == IsViewable &&
            NameIs(kids[i], name))
            found = kids[i];
    }
    if (kids) XFree(kids);
    return found;
}

static int inotifyFd = -1;
static void WatchTree(const char* dir, int depth) {
    inotify_add_watch(inotifyFd, dir, IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ONLYDIR);
    if (depth == 0) return;
    DIR* d = opendir(dir);
    if (!d) return;
    struct dirent* e;
    while ((e = readdir(d))) {
        if (e->d_type != DT_DIR || e->d_name[0] == '.') continue;
        char path[4096];
        snprintf(path, sizeof path, "%s/%s", dir, e->d_name);
        inotify_add_watch(inotifyFd, path, IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ONLYDIR);
    }
    closedir(d);
}

static int EndsWith(const char* s, const char* suffix) {
    size_t a = strlen(s), b = strlen(suffix);
    return a >= b && strcmp(s + a - b, suffix) == 0;
}

// A folder made after the watch began may already hold the file by the time it is watched.
static int FolderHolds(const char* dir, const char* suffix) {
    DIR* d = opendir(dir);
    if (!d) return 0;
    struct dirent* e;
    int found = 0;
    while ((e = readdir(d)) && !found) found = e->d_type == DT_REG && EndsWith(e->d_name, suffix);
    closedir(d);
    return found;
}

int main(int argc, char** argv) {
    double timeoutMs = 30000, quietMs = 150;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
        if (!strcmp(argv[i], "-t"))
            timeoutMs = atof(argv[i + 1]) * 1000;
        else if (!strcmp(argv[i], "-q"))
            quietMs = atof(argv[i + 1]);
        else
            return Usage();
    }
    if (i >= argc) return Usage();
    const char* action = argv[i++];
    char** launchArgv = NULL;
    int x = 0, y = 0, button = 1;
    if (!strcmp(action, "launch")) {
        launchArgv = argv + i;
        while (i < argc && strcmp(argv[i], "--")) ++i;
        if (i >= argc || argv + i == launchArgv) return Usage();
        argv[i++] = NULL;
    } else if (!strcmp(action, "click") || !strcmp(action, "move") || !strcmp(action, "release")) {
        if (i + 2 > argc) return Usage();
        x = atoi(argv[i++]);
        y = atoi(argv[i++]);
        if (strcmp(action, "move") && i < argc && argv[i][0] >= '1' && argv[i][0] <= '9' &&
            !argv[i][1])
            button = atoi(argv[i++]);
    } else if (strcmp(action, "now")) {
        return Usage();
    }
    if (i + 2 > argc) return Usage();
    const char* wait = argv[i++];
    const char* target = argv[i++];
    const char* suffix = "";
    if (!strcmp(wait, "file")) {
        if (i >= argc) return Usage();
        suffix = argv[i++];
    } else if (strcmp(wait, "window") && strcmp(wait, "signal")) {
        return Usage();
    }

    dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "xwatch: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    Window root = DefaultRootWindow(dpy);
    int xtestEvent, xtestError, major, minor;
    if (!XDamageQueryExtension(dpy, &damageEvent, &damageError) ||
        !XTestQueryExtension(dpy, &xtestEvent, &xtestError, &major, &minor)) {
        fprintf(stderr, "xwatch: the display lacks DAMAGE or XTEST\n");
        return 2;
    }

    // Everything that watches is in place before the input goes out.
    Window watched = 0;
    Damage damage = 0;
    int fifoFd = -1;
    if (!strcmp(wait, "window")) {
        XSelectInput(dpy, root, SubstructureNotifyMask);
        watched = FindMapped(target);
        if (watched) damage = XDamageCreate(dpy, watched, XDamageReportNonEmpty);
    } else if (!strcmp(wait, "file")) {
        inotifyFd = inotify_init1(IN_NONBLOCK);
        WatchTree(target, 1);
    } else {
        fifoFd = open(target, O_RDONLY | O_NONBLOCK);
        if (fifoFd < 0) {
            perror(target);
            return 2;
        }
    }
    double t0 = 0;
    if (strcmp(action, "now") && strcmp(action, "launch")) {
        XTestFakeMotionEvent(dpy, -1, x, y, 0);
        XSync(dpy, False);
        t0 = Now();  // for a move, the moment that counts
    }
    if (!strcmp(action, "click")) {
        // Wine reads the pointer position when the press arrives: let the move land first.
        usleep(60000);
        XTestFakeButtonEvent(dpy, button, True, 0);
        XSync(dpy, False);
        usleep(20000);
    }

    if (strcmp(action, "move")) t0 = Now();
    if (launchArgv) {
        pid_t pid = fork();
        if (pid == 0) {
            int null = open("/dev/null", O_RDWR);
            // Wine's own background processes must not inherit the caller's pipes.
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            setsid();
            execvp(launchArgv[0], launchArgv);
            _exit(127);
        }
        if (pid < 0) return 2;
    } else if (!strcmp(action, "click") || !strcmp(action, "release")) {
        XTestFakeButtonEvent(dpy, button, False, 0);
        XSync(dpy, False);
        t0 = Now();
    }

    const double deadline = t0 + timeoutMs;
    double mapAt = -1, drawnAt = -1;
    for (;;) {
        double now = Now();
        if (now >= deadline) break;
        double until = deadline;
        if (drawnAt >= 0 && drawnAt + quietMs < until) until = drawnAt + quietMs;
        if (mapAt >= 0 && drawnAt < 0 && mapAt + quietMs < until) until = mapAt + quietMs;
        if (now >= until) break;
        struct pollfd fds[1];
        fds[0].fd = fifoFd >= 0 ? fifoFd : inotifyFd >= 0 ? inotifyFd : ConnectionNumber(dpy);
        fds[0].events = POLLIN;
        if (fds[0].fd == ConnectionNumber(dpy) && XPending(dpy)) {
            fds[0].revents = POLLIN;
        } else {
            int ms = (int)(until - now) + 1;
            if (poll(fds, 1, ms) <= 0) continue;
        }
        now = Now();
        if (fifoFd >= 0) {
            char c;
            ssize_t got = read(fifoFd, &c, 1);
            if (got == 1) {
                printf("%.2f\n", now - t0);
                return 0;
            }
            if (got == 0) usleep(500);  // no writer yet
            continue;
        }
        if (inotifyFd >= 0) {
            char buffer[8192] __attribute__((aligned(8)));
            ssize_t n = read(inotifyFd, buffer, sizeof buffer);
            for (char* p = buffer; n > 0 && p < buffer + n;) {
                struct inotify_event* e = (struct inotify_event*)p;
                p += sizeof *e + e->len;
                if (!e->len) continue;
                if (e->mask & IN_ISDIR) {
                    char path[4096];
                    snprintf(path, sizeof path, "%s/%s", target, e->name);
                    inotify_add_watch(inotifyFd, path,
                                      IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ONLYDIR);
                    if (FolderHolds(path, suffix)) {
                        printf("%.2f\n", now - t0);
                        return 0;
                    }
                } else if ((e->mask & (IN_MOVED_TO | IN_CLOSE_WRITE)) &&
                           EndsWith(e->name, suffix)) {
                    printf("%.2f\n", now - t0);
                    return 0;
                }
            }
            continue;
        }
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            now = Now();
            if (ev.type == MapNotify && !watched && NameIs(ev.xmap.window, target)) {
                watched = ev.xmap.window;
                mapAt = now;
                damage = XDamageCreate(dpy, watched, XDamageReportNonEmpty);
            } else if (ev.type == damageEvent + XDamageNotify &&
                       ((XDamageNotifyEvent*)&ev)->drawable == watched) {
                drawnAt = now;
                XDamageSubtract(dpy, damage, None, None);
            }
        }
    }
    if (watched && (mapAt >= 0 || drawnAt >= 0)) {
        if (drawnAt < 0) drawnAt = mapAt;
        if (mapAt < 0) mapAt = drawnAt;
        printf("%.2f %.2f\n", mapAt - t0, drawnAt - t0);
        return 0;
    }
    fprintf(stderr, "xwatch: nothing seen within %.0f s\n", timeoutMs / 1000);
    return 3;
}
