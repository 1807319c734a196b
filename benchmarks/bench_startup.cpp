// Start-up time of Patchsmith against two Qt programs built beside it: a bare
// main window, and a main window with one control of each common kind
// Patchsmith's first frame shows. Each program is started under an X server
// of its own (Xvfb), in turns, and timed from the moment it is started to the
// moment its first top-level window is mapped, as the X server reports it
// (MapNotify on the root window). No program is changed or asked for
// anything, so all are measured alike. Once the start has settled (the MIDI
// devices opened, the synth's answer shown), Patchsmith's memory high-water
// mark (VmHWM) and resident size (VmRSS) are read from /proc: a high-water
// mark well above the resident size tells of a passing peak during the start.
//
//   bench_startup [--runs N] [--display :N] [--patchsmith PATH] [--bare PATH]
//                 [--controls PATH]
//
// Patchsmith runs with --virtual-synth and, like the others, with a
// temporary HOME and XDG directories, so no real settings are read or
// written. One warm-up run of each is not counted. Prints every run, the
// medians and their ratios: Patchsmith to the bare window, Patchsmith to the
// window with controls, and that window to the bare one (what Qt takes to
// start a window with such controls at all).

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef PATCHSMITH_EXECUTABLE
#define PATCHSMITH_EXECUTABLE "patchsmith"
#endif
#ifndef BARE_WINDOW_EXECUTABLE
#define BARE_WINDOW_EXECUTABLE "bench_bare_window"
#endif
#ifndef CONTROLS_WINDOW_EXECUTABLE
#define CONTROLS_WINDOW_EXECUTABLE "bench_controls_window"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMapTimeoutMs = 60000;
// From the window's mapping to reading the memory figures.
constexpr int kSettleMs = 1000;

struct Options {
    int runs = 10;
    std::string display; // empty: start Xvfb
    std::string patchsmith = PATCHSMITH_EXECUTABLE;
    std::string bare = BARE_WINDOW_EXECUTABLE;
    std::string controls = CONTROLS_WINDOW_EXECUTABLE;
};

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "bench_startup: %s\n", what.c_str());
    std::exit(1);
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return false;
        const std::string v = argv[++i];
        if (a == "--runs") {
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (*end != '\0' || n < 1 || n > 1000) return false;
            o.runs = static_cast<int>(n);
        } else if (a == "--display") {
            o.display = v;
        } else if (a == "--patchsmith") {
            o.patchsmith = v;
        } else if (a == "--bare") {
            o.bare = v;
        } else if (a == "--controls") {
            o.controls = v;
        } else {
            return false;
        }
    }
    return true;
}

// A private X server, ended with the benchmark.
class Xvfb {
public:
    Xvfb() {
        int fds[2];
        if (pipe(fds) != 0) fail("pipe");
        pid_ = fork();
        if (pid_ < 0) fail("fork");
        if (pid_ == 0) {
            close(fds[0]);
            const int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, STDOUT_FILENO);
                dup2(null, STDERR_FILENO);
            }
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) fail("Xvfb did not start (Debian package xvfb)");
        display_ = ":" + number;
    }
    ~Xvfb() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// HOME and the XDG directories of the measured programs, removed at the end.
class TemporaryHome {
public:
    TemporaryHome() {
        char templ[] = "/tmp/patchsmith-startup-XXXXXX";
        if (!mkdtemp(templ)) fail("mkdtemp");
        path_ = templ;
        for (const char* sub : {"config", "data", "cache", "runtime"}) mkdir((path_ + "/" + sub).c_str(), 0700);
    }
    ~TemporaryHome() {
        const std::string command = "rm -rf '" + path_ + "'";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "bench_startup: %s left behind\n", path_.c_str());
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class Watcher {
public:
    explicit Watcher(const std::string& display) {
        conn_ = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(conn_)) fail("cannot connect to X display " + display);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_void_cookie_t cookie = xcb_change_window_attributes_checked(conn_, root_, XCB_CW_EVENT_MASK, &mask);
        if (xcb_generic_error_t* e = xcb_request_check(conn_, cookie)) {
            std::free(e);
            fail("cannot watch the root window");
        }
    }
    ~Watcher() { xcb_disconnect(conn_); }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    void drain() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) std::free(e);
    }

    // Waits for a top-level window to be mapped (pop-ups that bypass the
    // window manager do not count). False when `child` ended first or the
    // time ran out.
    bool waitForMap(pid_t child, Clock::time_point& mappedAt) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kMapTimeoutMs);
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
                const bool mapped = (e->response_type & 0x7F) == XCB_MAP_NOTIFY;
                bool topLevel = false;
                if (mapped) {
                    auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
                    topLevel = m->event == root_ && !m->override_redirect;
                }
                std::free(e);
                if (topLevel) {
                    mappedAt = Clock::now();
                    return true;
                }
            }
            if (xcb_connection_has_error(conn_)) fail("lost the X connection");
            if (waitpid(child, nullptr, WNOHANG) == child) return false;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            pollfd fd{xcb_get_file_descriptor(conn_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(std::min<long long>(left, 50)));
        }
    }

private:
    xcb_connection_t* conn_ = nullptr;
    xcb_window_t root_ = 0;
};

struct Program {
    const char* label;
    std::vector<std::string> argv;
};

void setEnvironment(const std::string& display, const TemporaryHome& home) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home.path() + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home.path() + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").c_str(), 1);
}

struct Run {
    double ms = 0;   // from the start to the first mapped window
    long hwmKiB = 0; // VmHWM once settled
    long rssKiB = 0; // VmRSS once settled
};

// A "Name:   123 kB" line of /proc/PID/status, in KiB; 0 when missing.
long statusKiB(pid_t pid, const char* name) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return 0;
    char line[256];
    long value = 0;
    const std::size_t n = std::strlen(name);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, name, n) == 0 && line[n] == ':') value = std::strtol(line + n + 1, nullptr, 10);
    std::fclose(f);
    return value;
}

Run timeOne(const Program& program, Watcher& watcher) {
    watcher.drain();
    std::vector<char*> args;
    for (const std::string& a : program.argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    const Clock::time_point started = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) fail("fork");
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    Clock::time_point mapped;
    const bool ok = watcher.waitForMap(pid, mapped);
    Run run;
    if (ok) {
        usleep(kSettleMs * 1000);
        run.hwmKiB = statusKiB(pid, "VmHWM");
        run.rssKiB = statusKiB(pid, "VmRSS");
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (!ok) fail(std::string(program.label) + " showed no window (" + program.argv[0] + ")");
    run.ms = std::chrono::duration<double, std::milli>(mapped - started).count();
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parse(argc, argv, opt)) {
        std::fputs("usage: bench_startup [--runs N] [--display :N] [--patchsmith PATH] [--bare PATH] "
                   "[--controls PATH]\n",
                   stderr);
        return 2;
    }
    for (const std::string* exe : {&opt.patchsmith, &opt.bare, &opt.controls})
        if (access(exe->c_str(), X_OK) != 0) fail("not an executable: " + *exe);

    std::unique_ptr<Xvfb> server;
    if (opt.display.empty()) {
        server = std::make_unique<Xvfb>();
        opt.display = server->display();
    }
    TemporaryHome home;
    setEnvironment(opt.display, home);
    Watcher watcher(opt.display);

    const Program patchsmith{"patchsmith --virtual-synth", {opt.patchsmith, "--virtual-synth"}};
    const Program bare{"bare Qt main window", {opt.bare}};
    const Program controls{"Qt window with controls", {opt.controls}};
    const Program* programs[] = {&patchsmith, &bare, &controls};
    constexpr std::size_t kPrograms = std::size(programs);

    // Caches (fonts, libraries) filled once, not counted.
    for (const Program* program : programs) timeOne(*program, watcher);

    std::vector<double> times[kPrograms];
    std::vector<double> hwm, rss, hwmRatio;
    std::printf("run  patchsmith ms  bare Qt ms  Qt with controls ms  patchsmith VmHWM KiB  VmRSS KiB\n");
    for (int i = 0; i < opt.runs; ++i) {
        // Each program goes first in turn, so none always follows the same.
        Run runs[kPrograms];
        for (std::size_t k = 0; k < kPrograms; ++k) {
            const std::size_t which = (k + static_cast<std::size_t>(i)) % kPrograms;
            runs[which] = timeOne(*programs[which], watcher);
        }
        for (std::size_t k = 0; k < kPrograms; ++k) times[k].push_back(runs[k].ms);
        const Run& p = runs[0];
        hwm.push_back(static_cast<double>(p.hwmKiB));
        rss.push_back(static_cast<double>(p.rssKiB));
        if (p.rssKiB > 0) hwmRatio.push_back(static_cast<double>(p.hwmKiB) / static_cast<double>(p.rssKiB));
        std::printf("%3d  %13.1f  %10.1f  %19.1f  %20ld  %9ld\n", i + 1, runs[0].ms, runs[1].ms, runs[2].ms, p.hwmKiB,
                    p.rssKiB);
        std::fflush(stdout);
    }
    double medians[kPrograms];
    for (std::size_t k = 0; k < kPrograms; ++k) {
        const std::vector<double>& t = times[k];
        medians[k] = median(t);
        const std::string label = std::string(programs[k]->label) + ":";
        std::printf("median %-28s %.1f ms (min %.1f, max %.1f)\n", label.c_str(), medians[k],
                    *std::min_element(t.begin(), t.end()), *std::max_element(t.begin(), t.end()));
    }
    std::printf("ratio: %.2f\n", medians[0] / medians[1]);
    std::printf("ratio to the window with controls: %.2f; that window to the bare one: %.2f\n", medians[0] / medians[2],
                medians[2] / medians[1]);
    std::printf("patchsmith after %d ms: median VmHWM %.0f KiB, median VmRSS %.0f KiB, VmHWM / VmRSS: median %.2f, "
                "max %.2f\n",
                kSettleMs, median(hwm), median(rss), hwmRatio.empty() ? 0.0 : median(hwmRatio),
                hwmRatio.empty() ? 0.0 : *std::max_element(hwmRatio.begin(), hwmRatio.end()));
    return 0;
}
