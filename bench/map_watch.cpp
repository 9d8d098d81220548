// Seconds from starting a program until its window of a given title is mapped on the X
// display, watched over one connection (polling with a new client every few milliseconds
// floods the server and makes the programs under test fail to connect).
//
//   map_watch TITLE COMMAND [ARGS...]
//
// Prints the seconds; the program is then ended (SIGTERM). Needs a display without a window
// manager, such as Xvfb, where top-level windows are children of the root window.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string TitleOf(Display* display, Window window) {
    // the UTF-8 title first, then the plain one
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: map_watch TITLE COMMAND [ARGS...]\n");
        return 2;
    }
    const std::string wanted = argv[1];
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_watch: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        std::perror("map_watch: exec");
        _exit(127);
    }
    if (child < 0) {
        std::perror("map_watch: fork");
        return 2;
    }
    const int fd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && TitleOf(display, event.xmap.window) == wanted) {
                const double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                std::printf("%.6f\n", seconds);
                kill(child, SIGTERM);
                waitpid(child, nullptr, 0);
                XCloseDisplay(display);
                return 0;
            }
        }
        // wake for the next event, or every 10 ms to see whether the program has ended
        fd_set read;
        FD_ZERO(&read);
        FD_SET(fd, &read);
        timeval wait{0, 10000};
        select(fd + 1, &read, nullptr, nullptr, &wait);
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "map_watch: %s ended before a window \"%s\" was mapped\n", argv[2], wanted.c_str());
            return 1;
        }
    }
}
