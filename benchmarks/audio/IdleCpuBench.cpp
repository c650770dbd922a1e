// idle_cpu_percent: the staged program, started from a copy of its folder
// with the music stopped and no notice, measured over 30 s after it has
// settled: its processor time as a percentage of one core.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// User plus system time of the process, in clock ticks.
long long CpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    // Fields after the command name, which is in parentheses.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long long utime = 0;
    long long stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14) {
            utime = std::stoll(field);
        } else if (index == 15) {
            stime = std::stoll(field);
            break;
        }
    }
    return utime + stime;
}

} // namespace

int main() {
    const int seconds = std::getenv("IDLE_SECONDS") ? std::atoi(std::getenv("IDLE_SECONDS")) : 30;
    const fs::path work =
        fs::temp_directory_path() / ("sonvela-idle-bench-" + std::to_string(getpid()));
    const fs::path program = work / "program";
    fs::create_directories(work / "runtime");
    fs::permissions(work / "runtime", fs::perms::owner_all);
    fs::copy(SONVELA_STAGE_DIR, program, fs::copy_options::recursive);
    fs::remove(program / "setinfo.ini");
    std::ofstream(program / "setinfo.ini") << "[System]\r\nTts_information=1\r\n";

    const pid_t child = fork();
    if (child == 0) {
        setenv("XDG_RUNTIME_DIR", (work / "runtime").c_str(), 1);
        setenv("TMPDIR", (work / "runtime").c_str(), 1);
        // Without a display the program runs on the offscreen platform;
        // with one (./dev bench under Xvfb) as it does on a desktop.
        if (!std::getenv("DISPLAY")) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        // The program's own chatter (no sound card, no tray) is not the
        // figure's business.
        if (std::freopen("/dev/null", "w", stderr) == nullptr) {
            _exit(126);
        }
        const std::string path = (program / "speaker").string();
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const long long before = CpuTicks(child);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long long after = CpuTicks(child);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    fs::remove_all(work);
    const double percent = 100.0 * static_cast<double>(after - before) /
                           static_cast<double>(sysconf(_SC_CLK_TCK)) / wall;
    std::printf("idle_cpu_percent: %.2f\n", percent);
    return 0;
}
