// The main window's side of the schedules and system settings: the clock
// timer and the time announcement, the task timer with the task and warning
// dialogs, the system settings dialogs, the global hot keys, the end of the
// desktop session, and the Cantonese copy's command.
#include "DataModule.h"
#include "FrontEnd.h"
#include "FunctionUnit.h"
#include "GbkText.h"
#include "GlobalHotKeys.h"
#include "MainWindowSettings.h"
#include "PowerControl.h"
#include "RecoveryKeeper.h"
#include "SessionEnd.h"
#include "SessionRecovery.h"
#include "StatusNoticePanel.h"
#include "TFaddbiaodian.h"
#include "TFdelaytime.h"
#include "Tf_sch.h"
#include "Tf_shutprompt.h"
#include "Tf_speaker.h"
#include "TimetableWindow.h"
#include "TimetableDriver.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <utility>

namespace sonvela {
namespace {

constexpr int kClockPeriodMs = 200;
constexpr int kTaskPeriodMs = 1000;
constexpr int kRestartPollMs = 10;

} // namespace

PronunciationPageContext Tf_speaker::PronunciationPageParts() {
    PronunciationPageContext parts;
    parts.store = services_.dataModule ? &services_.dataModule->Conn1 : nullptr;
    parts.listChanged = [this](frontend::PronunciationList list) {
        if (services_.frontEnd)
            services_.frontEnd->SetPronunciations(std::move(list));
    };
    parts.trySpeaking = [this](const std::string& word, const std::string& reading) {
        const int index = voiceList_->currentIndex();
        if (!services_.voice || index < 0 || index >= static_cast<int>(voices_.size())) {
            WarnBox("请先选择语音!");
            return;
        }
        if (services_.tryPronunciation) {
            services_.tryPronunciation(word, reading, index);
            return;
        }
        services_.voice->SetVoice(index);
        services_.voice->SpeakAsync(QString::fromStdString(word).toStdU16String());
    };
    return parts;
}

void Tf_speaker::CreateScheduleParts() {
    clock_ = [] { return QDateTime::currentDateTime(); };
    announcer_ = std::make_unique<TimeAnnouncer>(AnnouncerPorts{
        [this] {
            if (platform_.playChime)
                platform_.playChime();
        },
        [this](std::chrono::milliseconds delay, std::function<void()> action) {
            // A timer, not a sleep: the window and the reader, which waits on
            // the window for every editor operation, go on meanwhile.
            QTimer::singleShot(delay, this, std::move(action));
        },
        [this](const std::string& words) {
            const int index = voiceList_->currentIndex();
            if (!services_.voice || index < 0 || index >= static_cast<int>(voices_.size())) {
                ShowErrorReport("没有选择语音，无法报时");
                return;
            }
            RunCommand([&] {
                services_.voice->SetVoice(index);
                services_.voice->SpeakAsync(QString::fromStdString(words).toStdU16String());
            });
            // A timetable entry of the same second starts once the words are
            // over.
            if (timetableDriver_)
                timetableDriver_->TimeAnnouncementSpoken(words);
        }});

    faddbiaodian_ = new TFaddbiaodian(
        services_.dataModule,
        [this] {
            if (fdelaytime_)
                fdelaytime_->ReloadDelayGrid();
        },
        this);
    fdelaytime_ = new TFdelaytime({services_.dataModule, &settings_, &reading_, &schedule_,
                                   [this] {
                                       faddbiaodian_->show();
                                       faddbiaodian_->raise();
                                   },
                                   PronunciationPageParts()},
                                  this);
    fsch_ = new Tf_sch(
        task_, [this] { return SecondsOfDayNow(); }, [this] { TaskChanged(); }, this);
    fshutprompt_ = new Tf_shutprompt(this);

    telltime_ = new QTimer(this);
    telltime_->setObjectName(QStringLiteral("telltime"));
    telltime_->setInterval(kClockPeriodMs);
    connect(telltime_, &QTimer::timeout, this, &Tf_speaker::telltime);
    CreateTimetableDriver();
    telltime_->start();
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTaskPeriodMs);
    connect(timer1_, &QTimer::timeout, this, &Tf_speaker::shutdown);

    if (auto* button = findChild<QToolButton*>(QStringLiteral("sb_delay")))
        connect(button, &QToolButton::clicked, this, &Tf_speaker::sb_delayClick);
    if (auto* item = findChild<QAction*>(QStringLiteral("N40")))
        connect(item, &QAction::triggered, this, &Tf_speaker::sb_delayClick);
    if (auto* button = findChild<QToolButton*>(QStringLiteral("SB_schedule")))
        connect(button, &QToolButton::clicked, this, &Tf_speaker::SB_scheduleClick);
    // The operator's Stop also calls off a start still waiting after F7 or F9.
    if (auto* button = findChild<QToolButton*>(QStringLiteral("SB_stop")))
        connect(button, &QToolButton::clicked, this, [this] { pendingStart_ = nullptr; });

    OfferRecoveredText();
}

void Tf_speaker::SetScheduleClock(std::function<QDateTime()> clock) {
    clock_ = std::move(clock);
}

int Tf_speaker::SecondsOfDayNow() const {
    return clock_().time().msecsSinceStartOfDay() / 1000;
}

// ---- Time announcement ----------------------------------------------------

void Tf_speaker::telltime() {
    const QDateTime now = clock_();
    const QDate date = now.date();
    const QTime time = now.time();
    const LocalMoment moment{date.year(), date.month(),  date.day(),   date.dayOfWeek(),
                             time.hour(), time.minute(), time.second()};
    statusPanels_[1]->setText(QString::fromStdString(ClockPanelText(moment)));
    const std::vector<ScheduleRow> slots = schedule_.Due(moment);
    // The timetable hears of an announcement of this second before it
    // starts, so that an entry of the same second lets it go first.
    if (timetableDriver_)
        timetableDriver_->Tick(!slots.empty());
    for (const ScheduleRow& slot : slots)
        telltimeing(slot);
}

void Tf_speaker::telltimeing(const ScheduleRow& slot) {
    announcer_->telltimeing(slot);
}

// ---- Scheduled task -------------------------------------------------------

void Tf_speaker::SB_scheduleClick() {
    CreateOtherWindows();
    fsch_->exec();
}

void Tf_speaker::TaskChanged() {
    if (task_.Armed())
        timer1_->start();
    else
        timer1_->stop();
}

void Tf_speaker::shutdown() {
    const TaskTickActions actions = task_.Tick(SecondsOfDayNow());
    if (actions.showWarning)
        fshutprompt_->ShowFor(task_.TaskTime());
    if (!task_.Armed())
        timer1_->stop();
    if (actions.stopReading)
        SB_stopClick();
    if (actions.shutdown) {
        if (platform_.power)
            platform_.power->PowerOff();
        SB_closeClick();
    }
}

// ---- System settings and hot keys -----------------------------------------

void Tf_speaker::sb_delayClick() {
    CreateOtherWindows();
    fdelaytime_->show();
    fdelaytime_->raise();
    fdelaytime_->activateWindow();
}

void Tf_speaker::StartPlatformServices(SchedulePlatform platform) {
    platform_ = std::move(platform);
    if (platform_.sessionEnd)
        platform_.sessionEnd->SetHandler([this] { EndSession(); });
    GlobalHotKeys* keys = platform_.hotKeys;
    if (!keys)
        return;
    if (!keys->Available()) {
        noticePanel_->ShowNotice(QString::fromUtf8("此桌面不支持全局快捷键"));
        return;
    }
    keys->SetHandler([this](int key) { HotKeyPressed(key); });
    const struct {
        int key;
        bool on;
    } kOrder[] = {{hotkeys::kF7, startup_.hotKeyF7},
                  {hotkeys::kF9, startup_.hotKeyF9},
                  {hotkeys::kF11, startup_.hotKeyF11},
                  {hotkeys::kF5, startup_.hotKeyF5}};
    for (const auto& each : kOrder) {
        // A key another program holds is left to it, silently.
        if (each.on && keys->Register(each.key))
            registeredHotKeys_.push_back(each.key);
    }
}

void Tf_speaker::StopThenStart(std::function<void()> start) {
    SB_stopClick();
    // The stopped reader finishes the segment it speaks, and the editor
    // calls it has already queued (the caret past that segment) still run.
    // Starting at once would let them move the new reading's caret, so the
    // start waits, polling, until the reader has let go of the reading lock.
    // Nothing waits here: the window keeps running meanwhile.
    if (!restartPoll_) {
        restartPoll_ = new QTimer(this);
        restartPoll_->setInterval(kRestartPollMs);
        connect(restartPoll_, &QTimer::timeout, this, &Tf_speaker::StartWhenReaderGone);
    }
    pendingStart_ = std::move(start);
    restartPoll_->start();
    StartWhenReaderGone();
}

void Tf_speaker::StartWhenReaderGone() {
    if (!reading_.readlock.TryAcquire())
        return;
    reading_.readlock.Release();
    restartPoll_->stop();
    if (auto pending = std::exchange(pendingStart_, {}))
        pending();
}

void Tf_speaker::HotKeyPressed(int virtualKey) {
    switch (virtualKey) {
    case hotkeys::kF7:
        if (startup_.hotKeyF7)
            StopThenStart([this] { SB_jexuClick(); });
        break;
    case hotkeys::kF9:
        if (startup_.hotKeyF9) {
            StopThenStart([this] {
                if (auto* n22 = findChild<QAction*>(QStringLiteral("N22")))
                    n22->trigger();
            });
        }
        break;
    case hotkeys::kF11:
        if (startup_.hotKeyF11) {
            // A start still waiting for the last reader is called off too.
            pendingStart_ = nullptr;
            SB_stopClick();
            TimetableOperatorStopped();
        }
        break;
    case hotkeys::kF5:
        if (startup_.hotKeyF5 && musicToggle_)
            musicToggle_();
        break;
    default:
        break;
    }
}

// ---- Cantonese ------------------------------------------------------------

void Tf_speaker::conv_yyClick() {
    FillHiddenCopy();
}

// ---- End of the session ---------------------------------------------------

void Tf_speaker::EndSession() {
    reading_.stopreading = true;
    // The session ends without the save question: the unsaved text is kept
    // for the next start instead. If even that fails the run goes on, so
    // the text is still there for the operator to save.
    if (modified_ && !RunCommand([&] { recovery_->WriteNow(); }))
        return;
    RunCommand([&] {
        WriteExitValues(settings_,
                        {voiceList_->currentIndex(), trackBar2_->value(), trackBar1_->value(),
                         bjV_->value(), bjV1_->value(), comBox1_->currentIndex()});
    });
    tray_->hide();
    // The windows go at once; the engines' teardown after the loop takes a
    // moment, and a session that is ending should not see them meanwhile.
    for (QWidget* window : std::initializer_list<QWidget*>{fdelaytime_, faddbiaodian_, fshutprompt_,
                                                           timetableWindow_})
        if (window) // a session may end before they were made
            window->hide();
    hide();
    exiting_ = true;
    QCoreApplication::exit(0);
}

void Tf_speaker::OfferRecoveredText() {
    std::optional<GbkString> kept;
    RunCommand([&] { kept = ReadRecoveryFile(services_.programFolder); });
    // From here on the unsaved text is copied as it changes; the file of the
    // last run stays until its text is saved or dropped.
    recovery_->Start();
    if (!kept) {
        if (modified_)
            recovery_->TextChanged();
        return;
    }
    // An untitled text with unsaved changes: closing or replacing it asks
    // whether to save it.
    memo1_->setPlainText(QString::fromStdString(GbkToUtf8(*kept)));
    modified_ = true;
    noticePanel_->ShowNotice(QString::fromUtf8("已恢复上次未保存的文章"));
}

} // namespace sonvela
