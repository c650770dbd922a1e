// Runs the find panel's commands over the editor a share at a time.
//
// A search through a long text, or a replacement of many matches, would hold
// the user-interface thread for as long as it takes. Here each turn of the
// event loop gets a few milliseconds of the command; a command that ends
// within its first share ends within the click, as it always did. One that
// takes over a second shows its progress in the status bar. Esc, closing
// the find panel, a new find command or any edit of the text that is not
// the command's own ends it where it is: offsets found in a text that has
// changed since would select the wrong place.
//
// UI thread only.
#pragma once

#include "EditorFill.h"
#include "FindText.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QShortcut;
class QWidget;

namespace sonvela {

class MemoGbkAdapter;
class MemoFindTarget;

class FindRunner final : public QObject {
public:
    // The command's last step and the options as it leaves them; `cancelled`
    // when it was ended before its end (the step is then the last one done).
    using Finished =
        std::function<void(const FindStep& step, const FindOptions& options, bool cancelled)>;

    // Esc in `window` ends a running command.
    FindRunner(MemoGbkAdapter& text, QLabel* statusPanel, QWidget* window);
    ~FindRunner() override;

    // Starts a find step (`replaceAll` false) or "替换以下"; a command still
    // running is ended first. `search` and `replacement` are GBK.
    void Start(FindSession& session, const GbkString& search, const GbkString& replacement,
               const FindOptions& options, bool replaceAll, Finished finished);
    // Ends the running command where it is; nothing happens when none runs.
    void Cancel();
    bool Running() const { return run_ != nullptr; }

private:
    void RunShare();
    void End(bool cancelled);

    MemoGbkAdapter& text_;
    QLabel* panel_;
    std::unique_ptr<MemoFindTarget> target_;
    std::unique_ptr<FindRun> run_;
    std::optional<LoadingNote> note_;
    Finished finished_;
    QTimer next_;
    QShortcut* stop_;
    QMetaObject::Connection edits_;
    // The command's own replacements are edits too.
    bool applying_ = false;
};

} // namespace sonvela
