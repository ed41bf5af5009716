// Starts a program and reports, from the X server's own events, how long it
// took from the start to its main window being mapped, and its peak resident
// memory.
//
//   bench_StartupProbe [--settle MS] PROGRAM [ARGUMENT...]
//
// prints one line "map_ms=<milliseconds> hwm_kb=<kilobytes>" and exits 0, or
// says why not on stderr and exits 1.
//
// How the map is read: before the program starts, the probe asks the server
// for SubstructureNotify on the root window, so it hears of every top-level
// window the moment it is created. For each one that is not override-redirect
// (menus and tool tips are) it asks for StructureNotify on that window; the
// server then sends MapNotify when the window is mapped, which under a window
// manager happens once the manager has framed it, i.e. when it is on the
// screen. The first such window whose _NET_WM_PID is the program's is its
// main window. A window mapped before the probe could ask is caught by
// reading its map state right after asking.
//
// The peak is VmHWM of /proc/PID/status, read `--settle` milliseconds
// (default 500) after the map, so that the first picture has been painted,
// and before the program is ended with SIGTERM.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int IgnoreErrors(Display*, XErrorEvent*) { return 0; } // a window gone before we asked

long WindowPid(Display* display, Window window)
{
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data)
            == Success
        && data && format == 32 && count == 1)
        pid = long(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

long PeakResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void End(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    int settle = 500;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) {
        settle = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--settle MS] PROGRAM [ARGUMENT...]\n", argv[0]);
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        _exit(127);
    }

    const Clock::time_point deadline = start + std::chrono::seconds(30);
    double mapMs = -1;
    while (mapMs < 0) {
        if (!XPending(display)) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "%s ended before its window was mapped\n", argv[first]);
                return 1;
            }
            if (Clock::now() > deadline) {
                std::fprintf(stderr, "no window of %s was mapped in 30 s\n", argv[first]);
                End(pid);
                return 1;
            }
            pollfd fd { ConnectionNumber(display), POLLIN, 0 };
            poll(&fd, 1, 20);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        Window mapped = None;
        if (event.type == CreateNotify && !event.xcreatewindow.override_redirect) {
            const Window window = event.xcreatewindow.window;
            XSelectInput(display, window, StructureNotifyMask);
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state != IsUnmapped)
                mapped = window;
        } else if (event.type == MapNotify && event.xmap.event == event.xmap.window && !event.xmap.override_redirect) {
            mapped = event.xmap.window;
        }
        if (mapped != None && WindowPid(display, mapped) == pid)
            mapMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(settle));
    const long peak = PeakResidentKb(pid);
    End(pid);
    std::printf("map_ms=%.2f hwm_kb=%ld\n", mapMs, peak);
    return 0;
}
