// startup_ratio: the time from starting speaker to the mapping of its main
// window, divided by the same time for a minimal Qt Widgets program, both
// measured in this run on the same X display (./dev bench provides one).
//
// Each program runs from a copy of the staged program folder with its own
// runtime folder, so no other instance and no earlier settings interfere;
// a first, unmeasured start of each warms the file cache and makes the
// program's later starts ordinary (not first-run) ones. The two programs
// alternate, and each figure is the median of its runs.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 7;

struct Display {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
};

Display Connect() {
    Display display;
    int screenNumber = 0;
    display.connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(display.connection)) {
        std::fprintf(stderr, "startup_ratio: no X display (set DISPLAY)\n");
        std::exit(1);
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(display.connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    display.root = it.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(display.connection, display.root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(display.connection);
    return display;
}

void Drain(const Display& display) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(display.connection))
        std::free(event);
}

// Waits for a top-level window (not a menu or tooltip) to be mapped.
bool WaitForMainWindow(const Display& display, Clock::time_point deadline) {
    const int fd = xcb_get_file_descriptor(display.connection);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(display.connection)) {
            const bool mapped =
                (event->response_type & 0x7f) == XCB_MAP_NOTIFY &&
                !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
            if (mapped)
                return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd waiting{fd, POLLIN, 0};
        poll(&waiting, 1, static_cast<int>(left.count()));
    }
}

// Milliseconds from the start of `program` to its main window's mapping.
double TimeToWindow(const Display& display, const std::string& program, const fs::path& workdir) {
    Drain(display);
    std::vector<std::string> args = {program};
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const fs::path previous = fs::current_path();
    fs::current_path(workdir);
    pid_t pid = 0;
    const auto start = Clock::now();
    const int failed = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    fs::current_path(previous);
    if (failed != 0) {
        std::fprintf(stderr, "startup_ratio: cannot start %s\n", program.c_str());
        std::exit(1);
    }
    const bool shown = WaitForMainWindow(display, start + std::chrono::seconds(30));
    const auto end = Clock::now();
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (!shown) {
        std::fprintf(stderr, "startup_ratio: %s showed no window in 30 s\n", program.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    char pattern[] = "/tmp/sonvela-startup-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) {
        std::perror("startup_ratio: mkdtemp");
        return 1;
    }
    const fs::path scratch = made;
    const fs::path programFolder = scratch / "program";
    fs::copy(SONVELA_STAGE_DIR, programFolder, fs::copy_options::recursive);
    fs::create_directory(scratch / "runtime");
    fs::permissions(scratch / "runtime", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (scratch / "runtime").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);

    const Display display = Connect();
    const std::string speaker = (programFolder / "speaker").string();
    const std::string minimal = MINIMAL_WINDOW;

    TimeToWindow(display, speaker, programFolder);
    TimeToWindow(display, minimal, scratch);
    std::vector<double> speakerTimes;
    std::vector<double> minimalTimes;
    for (int run = 0; run < kRuns; ++run) {
        speakerTimes.push_back(TimeToWindow(display, speaker, programFolder));
        minimalTimes.push_back(TimeToWindow(display, minimal, scratch));
    }
    const double speakerMs = Median(speakerTimes);
    const double minimalMs = Median(minimalTimes);
    std::printf("startup_speaker_ms: %.1f\n", speakerMs);
    std::printf("startup_minimal_qt_ms: %.1f\n", minimalMs);
    std::printf("startup_ratio: %.2f\n", speakerMs / minimalMs);

    xcb_disconnect(display.connection);
    fs::remove_all(scratch);
    return 0;
}
