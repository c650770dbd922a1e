#include "FunctionUnit.h"

#include "Desktop.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace sonvela {
namespace {

constexpr char kSeparator = '/';

bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

// The folder `parent`/`name`, created private when missing; empty when it
// cannot be had safely (someone else's, a link, or not creatable).
std::string PrivateFolderIn(const std::string& parent, const std::string& name) {
    if (parent.empty())
        return {};
    const std::string path = WithBackslash(parent) + name;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return IsPrivateFolder(path) ? path : std::string();
}

} // namespace

std::string AppDir() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        throw std::system_error(errno, std::generic_category(), "找不到程序所在的文件夹");
    std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind(kSeparator) + 1);
}

std::string TempDir() {
    const std::string name = "sonvela-" + std::to_string(::getuid());
    const char* tmp = std::getenv("TMPDIR");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    for (const std::string& parent :
         {std::string(tmp ? tmp : ""), std::string("/tmp"), std::string(runtime ? runtime : "")}) {
        const std::string folder = PrivateFolderIn(parent, name);
        if (!folder.empty())
            return WithBackslash(folder);
    }
    // The operator reads this at start-up: say what is wrong and where.
    throw std::runtime_error("无法建立本用户专用的临时文件夹 /tmp/" + name +
                             "（已存在但不属于当前用户，或无法写入）");
}

std::string WithBackslash(std::string_view path) {
    std::string result(path);
    if (!result.empty() && result.back() != kSeparator)
        result += kSeparator;
    return result;
}

void WarnBox(std::string_view text) {
    CurrentDesktop().ShowMessage({MessageIcon::Warning, "Warning", std::string(text)});
}

void InfoBox(std::string_view text) {
    CurrentDesktop().ShowMessage({MessageIcon::Information, "Information", std::string(text)});
}

bool ConfirmBox(std::string_view text) {
    return CurrentDesktop().AskYesNo({MessageIcon::Question, "Confirm", std::string(text)});
}

std::string ErrorReportText(std::string_view faultText) {
    std::string text(faultText);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

void ShowErrorReport(std::string_view faultText) {
    CurrentDesktop().ShowMessage({MessageIcon::Error, "Sonvela", ErrorReportText(faultText)});
}

void ShowErrorReport(const std::exception_ptr& fault) {
    try {
        std::rethrow_exception(fault);
    } catch (const std::exception& e) {
        ShowErrorReport(e.what());
    } catch (...) {
        ShowErrorReport("Unknown fault");
    }
}

void WaitPumping(std::chrono::milliseconds duration) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + duration;
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        // Short slices: a pending event is handled promptly, and the wait
        // never oversleeps its deadline by more than one slice.
        CurrentDesktop().ProcessPendingEvents(std::min(left, std::chrono::milliseconds(10)));
    }
}

} // namespace sonvela
