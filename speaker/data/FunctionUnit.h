// Small helpers shared by every part of the program.
#pragma once

#include <chrono>
#include <exception>
#include <string>
#include <string_view>

namespace sonvela {

// The folder of the running program, ending in the path separator.
std::string AppDir();

// A temporary folder of the current user's own (created with mode 0700 when
// missing, and checked to be a real folder owned by the user), ending in the
// path separator. Files the program later plays are written here, so it is
// never a shared, world-writable folder.
std::string TempDir();

// The path with the separator appended, unless it is empty or already ends
// in one.
std::string WithBackslash(std::string_view path);

// Modal boxes of the program's three kinds; texts are UTF-8.
void WarnBox(std::string_view text);    // caption "Warning", warning icon
void InfoBox(std::string_view text);    // caption "Information", information icon
bool ConfirmBox(std::string_view text); // caption "Confirm"; true only for Yes

// The general error report for a fault a command did not handle: the text,
// with a full stop added when it ends in a byte that sorts after ".", the
// caption "Sonvela" and an error icon.
std::string ErrorReportText(std::string_view faultText);
void ShowErrorReport(std::string_view faultText);
// Reports the exception in flight (call from a catch block).
void ShowErrorReport(const std::exception_ptr& fault);

// Runs a command body; a fault it throws ends the command with the general
// error report and the program goes on. Returns false when it failed.
template <typename Command> bool RunCommand(Command&& command) {
    try {
        command();
        return true;
    } catch (...) {
        ShowErrorReport(std::current_exception());
        return false;
    }
}

// Returns when `duration` has passed since the call, handling window events
// on each pass so the windows stay responsive.
void WaitPumping(std::chrono::milliseconds duration);

} // namespace sonvela
