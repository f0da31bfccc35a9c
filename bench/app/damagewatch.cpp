// Start-up as the user sees it: the time from starting a program until the X server last
// changed the screen for it. The DAMAGE extension reports every change to the root window's
// contents; once the screen has stayed unchanged for the settle time, the last change is the
// last paint of the program's windows, whatever the program itself believes. The program is
// then ended, and the next run starts from a quiet screen.
//
// Usage: bench_damagewatch [--runs N] [--settle MS] -- PROGRAM [ARGS...]
// Prints "last paint: best B ms, median M ms over N runs (E screen changes)". Needs an X
// display of its own (bench/run starts one with xvfb-run): changes from anything else on the
// screen count as the program's.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

int64_t NowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct TScreenChanges
{
    xcb_connection_t* connection = nullptr;
    uint8_t firstEvent = 0;

    // Waits up to `ms` for screen changes; returns how many arrived and notes the last one.
    int Collect(int ms, int64_t& last)
    {
        int count = 0;
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        const int64_t until = NowNs() + int64_t(ms) * 1000000;
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
                if ((event->response_type & 0x7f) == firstEvent + XCB_DAMAGE_NOTIFY) {
                    last = NowNs();
                    ++count;
                }
                std::free(event);
            }
            const int64_t left = (until - NowNs()) / 1000000;
            if (left <= 0 || xcb_connection_has_error(connection))
                return count;
            poll(&fd, 1, int(left));
        }
    }
};

bool WatchRoot(TScreenChanges& changes)
{
    changes.connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(changes.connection))
        return false;
    const xcb_query_extension_reply_t* ext =
        xcb_get_extension_data(changes.connection, &xcb_damage_id);
    if (!ext || !ext->present)
        return false;
    changes.firstEvent = ext->first_event;
    std::free(xcb_damage_query_version_reply(changes.connection,
                                             xcb_damage_query_version(changes.connection,
                                                                      XCB_DAMAGE_MAJOR_VERSION,
                                                                      XCB_DAMAGE_MINOR_VERSION),
                                             nullptr));
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(changes.connection)).data;
    xcb_damage_create(changes.connection, xcb_generate_id(changes.connection), screen->root,
                      XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(changes.connection);
    return true;
}

pid_t Start(char** argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    return pid;
}

void End(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(20000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 5;
    int settleMs = 1500;
    int arg = 1;
    for (; arg < argc && std::strcmp(argv[arg], "--") != 0; ++arg) {
        if (arg + 1 < argc && std::strcmp(argv[arg], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[++arg]));
        else if (arg + 1 < argc && std::strcmp(argv[arg], "--settle") == 0)
            settleMs = std::max(100, std::atoi(argv[++arg]));
    }
    if (arg + 1 >= argc) {
        std::fprintf(stderr, "usage: bench_damagewatch [--runs N] [--settle MS] -- PROGRAM...\n");
        return 2;
    }
    TScreenChanges changes;
    if (!WatchRoot(changes)) {
        std::fprintf(stderr, "no X display with the DAMAGE extension\n");
        return 1;
    }
    std::vector<double> lastPaintMs;
    int events = 0;
    for (int run = 0; run < runs; ++run) {
        int64_t last = 0;
        changes.Collect(300, last); // what the previous run left behind
        last = 0;
        const int64_t start = NowNs();
        const pid_t pid = Start(argv + arg + 1);
        int seen = 0;
        // Changes keep coming while the program draws; the screen is settled once a whole
        // settle time passes without one. A program that never settles is given 30 s.
        while (NowNs() - start < int64_t(30) * 1000000000) {
            const int got = changes.Collect(settleMs, last);
            seen += got;
            if (got == 0 && seen > 0)
                break;
        }
        End(pid);
        if (seen == 0) {
            std::fprintf(stderr, "%s drew nothing\n", argv[arg + 1]);
            return 1;
        }
        events = seen;
        lastPaintMs.push_back(double(last - start) / 1e6);
    }
    std::sort(lastPaintMs.begin(), lastPaintMs.end());
    std::printf("last paint: best %.1f ms, median %.1f ms over %d runs (%d screen changes)\n",
                lastPaintMs.front(), lastPaintMs[lastPaintMs.size() / 2], runs, events);
    return 0;
}
