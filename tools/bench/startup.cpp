// Start-up: from the moment a program is started to the moment its first window on the screen
// (the launcher for zerno-bros) has its first picture: the X server's first damage report for
// the window after it was mapped, which comes with the program's first paint of it. Against the
// bare Qt window program, each started alternately so both meet the same machine. The moment of
// mapping alone is reported beside it: a program may map its window well before it can paint it.
// Needs an X server with the DAMAGE extension (the bench runs it in Xvfb).
//
//   bench_startup ZERNO_BROS BARE_WINDOW [--runs N] [--workdir DIR]      (15 runs unless told)
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "common/desktop.h"
#include "tools/bench/bench_report.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Shown {
    double ms = -1;        // first painted
    double mappedMs = -1;
    std::string title;
    int width = 0;
    int height = 0;
};

class Display {
public:
    Display()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        screenWidth_ = screen->width_in_pixels;
        screenHeight_ = screen->height_in_pixels;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, screen->root, XCB_CW_EVENT_MASK, &mask);
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
        if (!damage || !damage->present)
            return;
        damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        std::free(xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
        pidAtom_ = atom("_NET_WM_PID");
        nameAtom_ = atom("_NET_WM_NAME");
        utf8Atom_ = atom("UTF8_STRING");
        xcb_flush(connection_);
        ok_ = true;
    }
    ~Display() { xcb_disconnect(connection_); }
    bool ok() const { return ok_; }

    // Starts the program and waits for a window of its own to be mapped.
    Shown start(const char* program, const char* workdir)
    {
        Shown shown;
        const SteadyTime start = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            if (workdir && chdir(workdir) != 0)
                _exit(126);
            execl(program, program, static_cast<char*>(nullptr));
            _exit(127);
        }
        const int fd = xcb_get_file_descriptor(connection_);
        xcb_window_t launcher = XCB_WINDOW_NONE;
        while (shown.ms < 0 && msBetween(start, Clock::now()) < 20000) {
            xcb_generic_event_t* event = xcb_poll_for_event(connection_);
            if (!event) {
                pollfd wait{fd, POLLIN, 0};
                poll(&wait, 1, 100);
                continue;
            }
            const SteadyTime now = Clock::now();
            const int type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                // Watched for damage from birth, so that no paint can come before the watch.
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                xcb_damage_create(connection_, xcb_generate_id(connection_), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(connection_);
            } else if (type == XCB_MAP_NOTIFY && launcher == XCB_WINDOW_NONE) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                // The first window of the program that can be seen: the launcher (the device
                // window is not mapped until PLAY; a window off the screen would not count).
                Shown candidate;
                if (pidOf(map->window) == uint32_t(child) && describe(map->window, candidate)) {
                    shown = candidate;
                    shown.mappedMs = msBetween(start, now);
                    launcher = map->window;
                }
            } else if (type == damageEvent_ && launcher != XCB_WINDOW_NONE) {
                const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                if (damage->drawable == launcher)
                    shown.ms = msBetween(start, now);
            }
            std::free(event);
        }
        kill(child, SIGTERM);
        int status = 0;
        waitpid(child, &status, 0);
        return shown;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    }

    uint32_t pidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        uint32_t pid = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            std::memcpy(&pid, xcb_get_property_value(reply), 4);
        std::free(reply);
        return pid;
    }

    // Fills in the window's title and size; true when any of it lies on the screen.
    bool describe(xcb_window_t window, Shown& shown)
    {
        xcb_get_property_reply_t* name = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, nameAtom_, utf8Atom_, 0, 256), nullptr);
        if (name)
            shown.title.assign(static_cast<const char*>(xcb_get_property_value(name)),
                               size_t(xcb_get_property_value_length(name)));
        std::free(name);
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        bool onScreen = false;
        if (geometry) {
            shown.width = geometry->width;
            shown.height = geometry->height;
            onScreen = geometry->x + geometry->width > 0 && geometry->y + geometry->height > 0
                    && geometry->x < screenWidth_ && geometry->y < screenHeight_;
        }
        std::free(geometry);
        return onScreen;
    }

    xcb_connection_t* connection_ = nullptr;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    xcb_atom_t pidAtom_ = 0;
    xcb_atom_t nameAtom_ = 0;
    xcb_atom_t utf8Atom_ = 0;
    int damageEvent_ = -1;
    bool ok_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    if (!argumentsGiven(argc, 2, "bench_startup ZERNO_BROS BARE_WINDOW [--runs N] [--workdir DIR]"))
        return 2;
    const int runs = int(optionValue(argc, argv, 3, "--runs", 15));
    const char* workdir = optionText(argc, argv, 3, "--workdir");
    Display display;
    if (!display.ok()) {
        printProblem("no X display with the DAMAGE extension (run it under xvfb-run)");
        return 2;
    }
    // One start of each first, not counted: it fills the file cache the later ones find filled.
    const Shown first = display.start(argv[1], workdir);
    display.start(argv[2], workdir);
    std::vector<double> program, bare, programMapped, bareMapped;
    for (int i = 0; i < runs; ++i) {
        const Shown a = display.start(argv[1], workdir);
        const Shown b = display.start(argv[2], workdir);
        if (a.ms < 0 || b.ms < 0) {
            printProblem("a window did not appear and paint within 20 s");
            return 2;
        }
        program.push_back(a.ms);
        bare.push_back(b.ms);
        programMapped.push_back(a.mappedMs);
        bareMapped.push_back(b.mappedMs);
    }
    const Summary p = summarize(program);
    const Summary b = summarize(bare);
    const double ratio = p.p50 / b.p50;
    std::printf("start-up to the first window on the screen painted, %d runs each; zerno-bros shows \"%s\" (%d x %d)\n",
                runs, first.title.c_str(), first.width, first.height);
    std::printf("  zerno-bros  median %.1f ms, max %.1f ms (mapped: median %.1f ms)\n", p.p50, p.max,
                summarize(programMapped).p50);
    std::printf("  bare window median %.1f ms, max %.1f ms (mapped: median %.1f ms)\n", b.p50, b.max,
                summarize(bareMapped).p50);
    printRow("Start-up to launcher shown (median)", format("%.1f ms", p.p50) + format(" (%.2fx)", ratio),
             "<= 1.5x bare window", format("bare window %.1f ms", b.p50), ratio <= 1.5);
    return 0;
}
