// The one seam between the logic and the operator's desktop: modal message
// boxes and the processing of pending window events. The program installs
// the real desktop at start; tests install a double that answers at once
// instead of running a modal loop.
#pragma once

#include <chrono>
#include <string>

namespace sonvela {

// None: a plain message, as for a failed Word import.
enum class MessageIcon { Warning, Information, Question, Error, None };

// A message box. Caption and text are UTF-8: they are the program's own
// words (or a fault's text), not document text.
struct MessageRequest {
    MessageIcon icon = MessageIcon::Information;
    std::string caption;
    std::string text;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // A modal message with an OK button.
    virtual void ShowMessage(const MessageRequest& request) = 0;
    // A modal question with the buttons "&Yes" and "&No"; true for Yes.
    virtual bool AskYesNo(const MessageRequest& request) = 0;
    // Handles the window events that are waiting, for at most `budget`.
    virtual void ProcessPendingEvents(std::chrono::milliseconds budget) = 0;
};

// The installed desktop. Before one is installed the messages go to the
// standard error stream and questions are answered No, so that a tool or a
// test without windows never blocks.
Desktop& CurrentDesktop();

// Installs `desktop` (not owned; nullptr restores the fallback) and returns
// the one installed before.
Desktop* InstallDesktop(Desktop* desktop);

} // namespace sonvela
