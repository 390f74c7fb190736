// Starts a program on the X display of $DISPLAY and measures its start:
//   shown:   milliseconds from the start of the process to the moment its first window
//            is mapped and viewable (with a reparenting window manager: the Client window
//            and its frame are both mapped);
//   painted: milliseconds to the first drawing into that window (X Damage extension);
//   cpu:     CPU time the process used up to the first drawing, in milliseconds;
//   rss:     resident memory in KiB once the process has gone idle after the first
//            drawing (no CPU time used for 300 ms, or 3 s at most).
// Prints one line "shown painted cpu rss", then stops the program.
//
//   first_window_probe PROGRAM [ARGUMENTS...]
//
// The probe connects to the display before it starts the program, so its own start-up
// is not counted; it learns which window is the program's from _NET_WM_PID.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int TimeoutMs = 15000;

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "first_window_probe: %s\n", message.c_str());
    std::exit(2);
}

// CPU time the process has spent running so far, in milliseconds (scheduler statistics,
// nanosecond resolution).
double CpuMs(pid_t process) {
    std::ifstream schedstat("/proc/" + std::to_string(process) + "/schedstat");
    unsigned long long runNs = 0;
    schedstat >> runNs;
    return static_cast<double>(runNs) / 1e6;
}

long ResidentKiB(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

template <class T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

class TProbe {
public:
    TProbe() : Connection(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(Connection) != 0) {
            Fail("cannot connect to the X display");
        }
        const int fd = xcb_get_file_descriptor(Connection);
        fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
        Root = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data->root;
        const uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(Connection, Root, XCB_CW_EVENT_MASK, &rootEvents);
        PidAtom = InternAtom("_NET_WM_PID");

        const xcb_query_extension_reply_t* damage =
            xcb_get_extension_data(Connection, &xcb_damage_id);
        if (damage == nullptr || damage->present == 0) {
            Fail("the X server has no Damage extension");
        }
        DamageNotify = damage->first_event + XCB_DAMAGE_NOTIFY;
        XcbReply<xcb_damage_query_version_reply_t> version(
            xcb_damage_query_version_reply(Connection, xcb_damage_query_version(Connection, 1, 1),
                                           nullptr),
            &std::free);
        if (!version) {
            Fail("the Damage extension does not answer");
        }
        xcb_flush(Connection);
    }

    ~TProbe() { xcb_disconnect(Connection); }

    TProbe(const TProbe&) = delete;
    TProbe& operator=(const TProbe&) = delete;

    void Run(char** command) {
        const double start = NowMs();
        if (posix_spawnp(&Pid, command[0], nullptr, nullptr, command, environ) != 0) {
            Fail(std::string("cannot start ") + command[0] + ": " + std::strerror(errno));
        }
        WaitForFirstFrame(start);
        const double cpu = CpuMs(Pid);
        WaitUntilIdle();
        const long rss = ResidentKiB(Pid);
        Stop();
        std::printf("%.1f %.1f %.1f %ld\n", ShownAt - start, PaintedAt - start, cpu, rss);
    }

private:
    xcb_atom_t InternAtom(const char* name) {
        XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(Connection,
                                  xcb_intern_atom(Connection, 0, std::strlen(name), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    bool BelongsToProgram(xcb_window_t window) {
        XcbReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(
                Connection,
                xcb_get_property(Connection, 0, window, PidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr),
            &std::free);
        return reply && xcb_get_property_value_length(reply.get()) == 4 &&
               *static_cast<const uint32_t*>(xcb_get_property_value(reply.get())) ==
                   static_cast<uint32_t>(Pid);
    }

    bool Viewable(xcb_window_t window) {
        XcbReply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(Connection,
                                            xcb_get_window_attributes(Connection, window), nullptr),
            &std::free);
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // A window of the Root (or one the window manager took from the Root) that may be the
    // program's: watch its mapping and the drawing into it.
    void Consider(xcb_window_t window) {
        if (Client != XCB_WINDOW_NONE || Checked.count(window) != 0) {
            return;
        }
        Checked.insert(window);
        if (!BelongsToProgram(window)) {
            return;
        }
        Client = window;
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(Connection, Client, XCB_CW_EVENT_MASK, &events);
        xcb_damage_create(Connection, xcb_generate_id(Connection), Client,
                          XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(Connection);
    }

    void Handle(const xcb_generic_event_t* event, double at) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_REPARENT_NOTIFY) {
            const auto* reparent = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
            if (reparent->event == Root) {
                Consider(reparent->window);
            }
        } else if (type == XCB_MAP_NOTIFY) {
            Consider(reinterpret_cast<const xcb_map_notify_event_t*>(event)->window);
        } else if (type == DamageNotify) {
            if (PaintedAt < 0) {
                PaintedAt = at;
            }
        }
        if (ShownAt < 0 && Client != XCB_WINDOW_NONE && Viewable(Client)) {
            ShownAt = at;
        }
    }

    void WaitForFirstFrame(double start) {
        const int fd = xcb_get_file_descriptor(Connection);
        while (ShownAt < 0 || PaintedAt < 0) {
            pollfd readable{fd, POLLIN, 0};
            const int wait = static_cast<int>(start + TimeoutMs - NowMs());
            if (wait <= 0 || poll(&readable, 1, wait) < 0) {
                Stop();
                Fail("no window was shown and drawn within the time limit");
            }
            const double at = NowMs();
            while (xcb_generic_event_t* event = xcb_poll_for_event(Connection)) {
                Handle(event, at);
                std::free(event);
            }
            if (xcb_connection_has_error(Connection) != 0) {
                Stop();
                Fail("lost the X display");
            }
        }
        // A window manager may map the frame before the drawing, or the other way round:
        // the frame is the first thing the user sees, so no drawing counts before it.
        if (PaintedAt < ShownAt) {
            PaintedAt = ShownAt;
        }
    }

    void WaitUntilIdle() {
        constexpr int StepMs = 50;
        constexpr int QuietSteps = 6;
        constexpr int MostSteps = 60;
        double last = CpuMs(Pid);
        int quiet = 0;
        for (int step = 0; step < MostSteps && quiet < QuietSteps; ++step) {
            usleep(StepMs * 1000);
            const double now = CpuMs(Pid);
            quiet = now - last < 0.5 ? quiet + 1 : 0;
            last = now;
        }
    }

    void Stop() {
        kill(Pid, SIGKILL);
        waitpid(Pid, nullptr, 0);
    }

    xcb_connection_t* Connection;
    xcb_window_t Root = XCB_WINDOW_NONE;
    xcb_atom_t PidAtom = XCB_ATOM_NONE;
    uint8_t DamageNotify = 0;
    pid_t Pid = 0;
    std::set<xcb_window_t> Checked;
    xcb_window_t Client = XCB_WINDOW_NONE;
    double ShownAt = -1;
    double PaintedAt = -1;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_window_probe PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    TProbe probe;
    probe.Run(argv + 1);
    return 0;
}
