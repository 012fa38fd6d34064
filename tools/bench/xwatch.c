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
//   (no WAIT after these two: they repeat a user's round COUNT times in this one process, so
//   that a thousand fit into minutes, and print how many completed)
//           captures COUNT ICONX ICONY CAPTURE DROP DROPX DROPY DIR
//                  tray click, select, drag onto the drop picture named DROP, release over
//                  DROPX,DROPY, wait for the .bmp in DIR (or a folder in it) and delete it,
//                  right click to close the capture window named CAPTURE
//           openings COUNT ICONX ICONY ITEMX ITEMY CLOSEX CLOSEY CAPTION
//                  tray right click, click the menu item at ITEMX,ITEMY, wait for the window
//                  CAPTION, close it with a click at CLOSEX,CLOSEY
//   -t is then the time-out of each wait, and -d SECONDS ends the rounds after that long.
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
        "usage: xwatch [-t s] [-q ms] [-d s] launch CMD... --|click X Y [B]|release X Y [B]|move X Y|now "
        "window NAME|file DIR SUFFIX|signal FIFO\n"
        "       captures COUNT ICONX ICONY CAPTURE DROP DROPX DROPY DIR|"
        "openings COUNT ICONX ICONY ITEMX ITEMY CLOSEX CLOSEY CAPTION\n");
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

// ---------------------------------------------------------------- repeated rounds

// Wine reads the pointer position when a button event arrives: each input lands before the next.
static const int pauseMs = 3;
static void Pause(int ms) {
    XSync(dpy, False);
    usleep(ms * 1000);
}
static void MoveTo(int x, int y) {
    XTestFakeMotionEvent(dpy, -1, x, y, 0);
    Pause(pauseMs);
}
static void Press(int button, int down) {
    XTestFakeButtonEvent(dpy, button, down, 0);
    Pause(pauseMs);
}

// The next top-level window mapped with that name; with NULL, the next without a name (a menu).
static Window WaitMapped(const char* name, double ms) {
    const double deadline = Now() + ms;
    while (Now() < deadline) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && NameIs(ev.xmap.window, name ? name : "")) {
                Pause(20);  // mapped is not yet taking input
                return ev.xmap.window;
            }
        }
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, 5);
    }
    return 0;
}

static int WaitGone(Window w, double ms) {
    const double deadline = Now() + ms;
    while (Now() < deadline) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if ((ev.type == UnmapNotify && ev.xunmap.window == w) ||
                (ev.type == DestroyNotify && ev.xdestroywindow.window == w))
                return 1;
        }
        struct pollfd p = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&p, 1, 5);
    }
    return 0;
}

// Deletes every file ending in SUFFIX in DIR and its folders; tells whether there was one.
static int DeleteFiles(const char* dir, const char* suffix) {
    DIR* d = opendir(dir);
    if (!d) return 0;
    struct dirent* e;
    int deleted = 0;
    while ((e = readdir(d))) {
        if (e->d_name[0] == '.') continue;
        char path[4096];
        snprintf(path, sizeof path, "%s/%s", dir, e->d_name);
        if (e->d_type == DT_DIR)
            deleted |= DeleteFiles(path, suffix);
        else if (EndsWith(e->d_name, suffix))
            deleted |= unlink(path) == 0;
    }
    closedir(d);
    return deleted;
}

static int Failed(const char* what) {
    fprintf(stderr, "%s\n", what);
    return 0;
}

static int CaptureRound(char** a, double ms) {
    const int iconX = atoi(a[0]), iconY = atoi(a[1]), dropX = atoi(a[4]), dropY = atoi(a[5]);
    MoveTo(iconX, iconY);
    Press(1, True);
    Press(1, False);
    Window capture = WaitMapped(a[2], ms);
    if (!capture) return Failed("no capture window after the tray click");
    MoveTo(200, 150);
    Press(1, True);
    MoveTo(700, 500);
    MoveTo(1200, 850);
    Press(1, False);
    MoveTo(700, 500);
    Press(1, True);
    if (!WaitMapped(a[3], ms)) {
        Press(1, False);
        return Failed("no drop window after a press on the selection");
    }
    MoveTo(400, 300);
    MoveTo(dropX, dropY);
    Press(1, False);
    const double deadline = Now() + ms;
    while (!DeleteFiles(a[6], ".bmp")) {
        if (Now() > deadline) return Failed("no .bmp after the release over the drop picture");
        usleep(2000);
    }
    MoveTo(1000, 1000);
    Press(3, True);
    Press(3, False);
    return WaitGone(capture, ms) || Failed("a right click did not close the capture window");
}

static int OpeningRound(char** a, double ms) {
    MoveTo(atoi(a[0]), atoi(a[1]));
    Press(3, True);
    Press(3, False);
    if (!WaitMapped(NULL, ms)) return Failed("no menu after the right click");
    MoveTo(atoi(a[2]), atoi(a[3]));
    Press(1, True);
    Press(1, False);
    Window list = WaitMapped(a[6], ms);
    if (!list) return Failed("no window after the click on the menu item");
    MoveTo(atoi(a[4]), atoi(a[5]));
    Press(1, True);
    Press(1, False);
    return WaitGone(list, ms) || Failed("a click on the close button did not close the window");
}

static int Rounds(int (*round)(char**, double), int count, char** args, double ms, double limitMs) {
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    const double end = Now() + limitMs;
    int done = 0;
    while (done < count && Now() < end && round(args, ms)) ++done;
    printf("%d\n", done);
    return done == count || Now() >= end ? 0 : 3;
}

int main(int argc, char** argv) {
    double timeoutMs = 30000, quietMs = 150, limitMs = 1e12;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
        if (!strcmp(argv[i], "-t"))
            timeoutMs = atof(argv[i + 1]) * 1000;
        else if (!strcmp(argv[i], "-q"))
            quietMs = atof(argv[i + 1]);
        else if (!strcmp(argv[i], "-d"))
            limitMs = atof(argv[i + 1]) * 1000;
        else
            return Usage();
    }
    if (i >= argc) return Usage();
    const char* action = argv[i++];
    const int captures = !strcmp(action, "captures"), openings = !strcmp(action, "openings");
    if (captures || openings) {
        if (argc - i != 8) return Usage();
        dpy = XOpenDisplay(NULL);
        if (!dpy) return 2;
        XSetErrorHandler(IgnoreErrors);
        return Rounds(captures ? CaptureRound : OpeningRound, atoi(argv[i]), argv + i + 1,
                      timeoutMs, limitMs);
    }
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
