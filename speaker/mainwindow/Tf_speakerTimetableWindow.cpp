// The main window's side of the broadcast timetable's window: opening it,
// and passing its changes on as the window's own timetableChanged().
#include "AnnouncementLogFile.h"
#include "DataModule.h"
#include "Tf_speaker.h"
#include "TimetableWindow.h"

namespace sonvela {

void Tf_speaker::ShowTimetableWindow() {
    if (!timetableWindow_) {
        TimetableWindowContext context;
        context.store = services_.dataModule ? &services_.dataModule->Conn1 : nullptr;
        // The voice list's voices as they are when the window reads them:
        // the entry editor offers the same voices as the main window.
        context.voices = [this] { return voices_; };
        context.logFile = AnnouncementLogFile();
        timetableWindow_ = new TimetableWindow(std::move(context), this);
        connect(timetableWindow_, &TimetableWindow::timetableChanged, this,
                &Tf_speaker::timetableChanged);
    }
    timetableWindow_->show();
    timetableWindow_->raise();
    timetableWindow_->activateWindow();
}

} // namespace sonvela
