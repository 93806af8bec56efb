// Start-up and memory of real processes, watched from outside through the X server: the time
// from exec until the program's first top-level window is mapped and every pixel of it has
// been drawn (X Damage on the root window), then its peak resident memory. The program under
// test needs no hook of any kind. Programs are run in turn, round after round, so that drift
// on a shared machine hits each the same.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include "Coverage.h"
#include "Stats.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Program {
    std::string name;
    std::string path;
    std::vector<double> startupMs;
    std::vector<double> mappedMs;
    std::vector<double> peakMb;
};

struct Run {
    bool ok = false;
    double mappedMs = 0;
    double paintedMs = 0;
    double peakMb = 0;
};

class Watcher {
public:
    bool Open()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) {
            std::fprintf(stderr, "startup_watch: no X display\n");
            return false;
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection_, &xcb_damage_id);
        if (!damage || !damage->present) {
            std::fprintf(stderr, "startup_watch: the X server has no Damage extension\n");
            return false;
        }
        damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(connection_, xcb_damage_query_version(connection_, 1, 1), nullptr));
        xcb_damage_create(connection_, xcb_generate_id(connection_), root_,
                          XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        Drain();
        return true;
    }

    // Where to write what the window showed at the moment it counted as painted (PPM).
    std::string snapshot;
    // Run once the window is painted, with BENCH_WINDOW and BENCH_PID set; the memory is read
    // after it has ended well.
    std::string drive;

    Run Measure(const std::string &path, int settleMs, int timeoutMs)
    {
        Run run;
        Drain();
        const Clock::time_point start = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl(path.c_str(), path.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        if (pid < 0)
            return run;

        xcb_window_t window = XCB_NONE;
        quelvane::bench::Coverage coverage;
        const int fd = xcb_get_file_descriptor(connection_);
        while (!run.ok && MsBetween(start, Clock::now()) < timeoutMs) {
            xcb_generic_event_t *event = xcb_poll_for_event(connection_);
            if (!event) {
                pollfd wait{fd, POLLIN, 0};
                poll(&wait, 1, 50);
                continue;
            }
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY && window == XCB_NONE) {
                auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (!map->override_redirect) {
                    run.mappedMs = MsBetween(start, Clock::now());
                    window = map->window;
                    xcb_get_geometry_reply_t *geometry
                        = xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
                    if (geometry) {
                        coverage.Reset(geometry->x + geometry->border_width, geometry->y + geometry->border_width,
                                       geometry->width, geometry->height);
                        free(geometry);
                    }
                }
            } else if (type == damageEvent_ && window != XCB_NONE) {
                auto *damage = reinterpret_cast<xcb_damage_notify_event_t *>(event);
                if (coverage.Mark(damage->area.x, damage->area.y, damage->area.width, damage->area.height)) {
                    run.paintedMs = MsBetween(start, Clock::now());
                    run.ok = true;
                    if (!snapshot.empty())
                        WriteSnapshot(window);
                }
            }
            free(event);
        }

        if (run.ok && !drive.empty())
            run.ok = Drive(window, pid);
        if (run.ok) {
            // Peak resident memory once start-up has settled, before anything tears down.
            std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
            run.peakMb = PeakResidentMb(pid);
            run.ok = run.peakMb > 0;
        }
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        return run;
    }

private:
    bool Drive(xcb_window_t window, pid_t program)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("BENCH_WINDOW", std::to_string(window).c_str(), 1);
            setenv("BENCH_PID", std::to_string(program).c_str(), 1);
            execlp("bash", "bash", drive.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid)
            return false;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "startup_watch: %s failed\n", drive.c_str());
            return false;
        }
        return true;
    }

    void WriteSnapshot(xcb_window_t window)
    {
        xcb_get_geometry_reply_t *geometry
            = xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        if (!geometry)
            return;
        const int width = geometry->width, height = geometry->height;
        free(geometry);
        xcb_get_image_reply_t *image = xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u), nullptr);
        if (!image)
            return;
        // 24-bit visuals come as 32 bits a pixel, blue first.
        const uint8_t *pixels = xcb_get_image_data(image);
        if (xcb_get_image_data_length(image) >= width * height * 4) {
            std::ofstream out(snapshot, std::ios::binary);
            out << "P6\n" << width << ' ' << height << "\n255\n";
            for (int i = 0; i < width * height; ++i) {
                const char rgb[3] = {char(pixels[4 * i + 2]), char(pixels[4 * i + 1]), char(pixels[4 * i])};
                out.write(rgb, 3);
            }
        }
        free(image);
    }

    // Reads every event already sent, so the next run starts from a quiet server.
    void Drain()
    {
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection_))
            free(event);
    }

    static double PeakResidentMb(pid_t pid)
    {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("VmHWM:", 0) == 0)
                return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
        }
        return 0;
    }

    xcb_connection_t *connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    uint8_t damageEvent_ = 0;
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: startup_watch [--runs N] [--settle-ms MS] [--snapshot-dir DIR] [--drive SCRIPT [--drive-runs N]]\n"
                 "                     --out ROWS.tsv PROGRAM BASELINE\n"
                 "Runs PROGRAM and BASELINE in turn under $DISPLAY; one row for start-up, one for memory,\n"
                 "and with --drive one for PROGRAM's memory after SCRIPT has driven it.\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    int runs = 25;
    int settleMs = 300;
    const char *out = nullptr;
    std::string snapshotDir;
    std::string drive;
    int driveRuns = 5;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--settle-ms") && i + 1 < argc)
            settleMs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--out") && i + 1 < argc)
            out = argv[++i];
        else if (!std::strcmp(argv[i], "--snapshot-dir") && i + 1 < argc)
            snapshotDir = argv[++i];
        else if (!std::strcmp(argv[i], "--drive") && i + 1 < argc)
            drive = argv[++i];
        else if (!std::strcmp(argv[i], "--drive-runs") && i + 1 < argc)
            driveRuns = std::atoi(argv[++i]);
        else
            paths.emplace_back(argv[i]);
    }
    if (!out || paths.size() != 2 || runs < 1)
        return Usage();

    Watcher watcher;
    if (!watcher.Open())
        return 1;

    Program program{"program", paths[0], {}, {}, {}};
    Program baseline{"baseline", paths[1], {}, {}, {}};
    // One unrecorded round: caches (fontconfig, the page cache) are warm for both alike.
    for (int round = -1; round < runs; ++round) {
        for (Program *p : {&program, &baseline}) {
            // The window as it was when it counted as painted, once a program, to check the method.
            watcher.snapshot = round == 0 && !snapshotDir.empty() ? snapshotDir + "/" + p->name + "-painted.ppm" : "";
            const Run run = watcher.Measure(p->path, settleMs, 20000);
            if (!run.ok) {
                std::fprintf(stderr, "startup_watch: %s never showed a painted window\n", p->path.c_str());
                return 1;
            }
            if (round < 0)
                continue;
            p->startupMs.push_back(run.paintedMs);
            p->mappedMs.push_back(run.mappedMs);
            p->peakMb.push_back(run.peakMb);
        }
    }

    for (const Program *p : {&program, &baseline}) {
        std::fprintf(stderr, "startup_watch: %s: mapped %.1f ms, painted %.1f ms, peak RSS %.1f MB (medians of %d)\n",
                     p->path.c_str(), quelvane::bench::Median(p->mappedMs), quelvane::bench::Median(p->startupMs),
                     quelvane::bench::Median(p->peakMb), runs);
    }

    using quelvane::bench::Row;
    Row startup{"start-up", "exec to main window mapped and painted, Xvfb, vs an empty Qt window", "ms"};
    quelvane::bench::SetSamples(startup, program.startupMs);
    startup.baseline = quelvane::bench::Median(baseline.startupMs);
    startup.limit = 1.3;
    startup.kind = quelvane::bench::LimitKind::Ratio;

    Row memory{"memory at start", "peak RSS (VmHWM) once started, vs the empty Qt window", "MB"};
    quelvane::bench::SetSamples(memory, program.peakMb);
    memory.baseline = quelvane::bench::Median(baseline.peakMb);
    memory.limit = 1.3;
    memory.kind = quelvane::bench::LimitKind::Ratio;

    if (!quelvane::bench::AppendRow(out, startup) || !quelvane::bench::AppendRow(out, memory))
        return 1;
    if (drive.empty())
        return 0;

    watcher.drive = drive;
    watcher.snapshot.clear();
    std::vector<double> drivenMb;
    for (int i = 0; i < driveRuns; ++i) {
        const Run run = watcher.Measure(program.path, settleMs, 60000);
        if (!run.ok)
            return 1;
        drivenMb.push_back(run.peakMb);
    }
    std::fprintf(stderr, "startup_watch: %s after %s: peak RSS %.1f MB (median of %d)\n", program.path.c_str(),
                 drive.c_str(), quelvane::bench::Median(drivenMb), driveRuns);
    Row driven{"memory after all", "peak RSS after every window and a print, vs the empty window at start", "MB"};
    quelvane::bench::SetSamples(driven, drivenMb);
    driven.baseline = memory.baseline;
    driven.limit = 1.3;
    driven.kind = quelvane::bench::LimitKind::Ratio;
    return quelvane::bench::AppendRow(out, driven) ? 0 : 1;
}
