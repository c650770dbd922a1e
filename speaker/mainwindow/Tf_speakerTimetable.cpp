// The main window's side of the broadcast timetable and of other programs'
// requests: the driver that carries out the entries on the clock's tick, the
// panel of the next entry, and the requests handed over by a later start or
// the session bus. None of it touches the editor: its text and modified mark
// stay the operator's.
#include "AnnouncementLogFile.h"
#include "DataModule.h"
#include "FunctionUnit.h"
#include "StatusNoticePanel.h"
#include "Tf_speaker.h"
#include "TimetableDriver.h"
#include "TimetableTable.h"
#include "TraditionalChinese.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <exception>

namespace sonvela {

void Tf_speaker::CreateTimetableDriver() {
    timetablePanel_ = new QLabel(statusBar());
    timetablePanel_->setObjectName(QStringLiteral("TimetablePanel"));
    timetablePanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(timetablePanel_);
    timetablePanel_->hide();
    if (!services_.voice)
        return; // without a voice there is nothing to announce with

    TimetableDriverPorts ports;
    ports.operatorReading = [this] {
        return reading_.isreading.load() || (readcycled_ && readcycled_->isActive());
    };
    ports.stopOperatorReading = [this] {
        pendingStart_ = nullptr;
        SB_stopClick();
    };
    ports.operatorReaderGone = [this] {
        if (!reading_.readlock.TryAcquire())
            return false;
        reading_.readlock.Release();
        return true;
    };
    // Asked on the clock's tick too: a fault of the data store counts as no
    // draft here rather than a message box every second.
    ports.draftById = [this](std::int64_t id) -> std::optional<DraftText> {
        try {
            if (services_.dataModule)
                return DraftById(services_.dataModule->Conn1, id);
        } catch (const DatabaseError&) {
        }
        return std::nullopt;
    };
    ports.findDraft = [this](const std::string& nameOrId) -> std::optional<DraftText> {
        try {
            if (services_.dataModule)
                return FindDraft(services_.dataModule->Conn1, nameOrId);
        } catch (const DatabaseError&) {
        }
        return std::nullopt;
    };
    ports.voice = [this](const std::string& name) -> std::optional<ReadingVoice> {
        int index = voiceList_->currentIndex();
        // A voice the entry names by its description or the engine's name;
        // one uninstalled since falls back to the window's voice.
        for (std::size_t i = 0; !name.empty() && i < voices_.size(); ++i)
            if (voices_[i].description == name || voices_[i].id == name)
                index = static_cast<int>(i);
        if (index < 0 || index >= static_cast<int>(voices_.size()))
            return std::nullopt;
        return ReadingVoice{index, IsCantoneseVoice(voices_[static_cast<std::size_t>(index)])};
    };
    ports.traditional = [](const GbkString& text) { return ::sonvela::TraditionalForm(text); };
    ports.note = [this](const std::string& text) {
        noticePanel_->ShowNotice(QString::fromStdString(text));
    };
    ports.nextEntryPanel = [this](const std::string& text) {
        timetablePanel_->setText(QString::fromStdString(text));
        timetablePanel_->setVisible(!text.empty());
    };
    ports.speakOver = [this](const std::string& words) -> std::optional<std::string> {
        const int index = voiceList_->currentIndex();
        if (index < 0 || index >= static_cast<int>(voices_.size()))
            return "没有选择语音，无法播报";
        try {
            services_.voice->SetVoice(index);
            services_.voice->SpeakAsync(QString::fromStdString(words).toStdU16String());
        } catch (const std::exception& fault) {
            return std::string("语音无法播报：") + fault.what();
        }
        return std::nullopt;
    };
    ports.reportError = [this](std::string fault) {
        QMetaObject::invokeMethod(
            this, [fault = std::move(fault)] { ShowErrorReport(fault); }, Qt::QueuedConnection);
    };
    ScheduleClock clock{[this] {
                            const QDateTime now = clock_();
                            const QDate date = now.date();
                            const QTime time = now.time();
                            return LocalMoment{date.year(),      date.month(), date.day(),
                                               date.dayOfWeek(), time.hour(),  time.minute(),
                                               time.second()};
                        },
                        [] { return std::chrono::steady_clock::now(); }};
    timetableDriver_ = std::make_unique<TimetableDriver>(
        std::move(ports), *services_.voice, reading_, std::move(clock), AnnouncementLogFile());
    if (auto* button = findChild<QToolButton*>(QStringLiteral("SB_stop")))
        connect(button, &QToolButton::clicked, this, [this] { TimetableOperatorStopped(); });
    // The timetable window writes its changes to draft.dat first.
    connect(this, &Tf_speaker::timetableChanged, this, &Tf_speaker::ReloadTimetable);
    ReloadTimetable();
}

void Tf_speaker::ReloadTimetable() {
    if (!timetableDriver_ || !services_.dataModule)
        return;
    std::vector<TimetableRow> rows;
    if (RunCommand([&] { rows = TimetableTable(services_.dataModule->Conn1).Rows(); }))
        timetableDriver_->SetEntries(std::move(rows));
}

void Tf_speaker::TimetableOperatorStopped() {
    if (timetableDriver_)
        timetableDriver_->OperatorStopped();
}

RequestAnswer Tf_speaker::HandleRequest(const InstanceRequest& request) {
    // A request may come before the first turn of the event loop has made
    // the clock and the driver.
    CreateOtherWindows();
    if (request.kind == InstanceRequest::Kind::Stop) {
        pendingStart_ = nullptr;
        SB_stopClick();
        if (services_.voice)
            RunCommand([&] { services_.voice->CutOff(); });
        return timetableDriver_ ? timetableDriver_->StopAll() : RequestAnswer::Accepted();
    }
    if (!timetableDriver_)
        return RequestAnswer::Refused("没有可用的语音，无法播报");
    switch (request.kind) {
    case InstanceRequest::Kind::Say:
        return timetableDriver_->Say(request.argument);
    case InstanceRequest::Kind::ReadDraft:
        return timetableDriver_->ReadDraft(request.argument);
    default:
        return RequestAnswer::Refused("运行中的程序不接受这个请求");
    }
}

} // namespace sonvela
