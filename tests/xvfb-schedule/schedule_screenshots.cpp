// Pictures of the schedule and settings windows as the X server draws them:
// the four pages of the system settings dialog, the add-symbol dialog, the
// task dialog, the shutdown warning, and the broadcast timetable with its
// entry editor and log.
// Usage: schedule_screenshots <staged program folder> <output folder>
#include "AnnouncementLog.h"
#include "AnnouncementLogDialog.h"
#include "DataModule.h"
#include "PronunciationTable.h"
#include "ReadingState.h"
#include "ScheduledTask.h"
#include "SettingsFile.h"
#include "TFaddbiaodian.h"
#include "TFdelaytime.h"
#include "Tf_sch.h"
#include "Tf_shutprompt.h"
#include "TimeAnnouncement.h"
#include "TimetableEntryDialog.h"
#include "TimetableWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <cstdio>

using namespace sonvela;

namespace {

bool Save(QWidget* window, const QString& path) {
    window->show();
    window->raise();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const bool saved = window->grab().save(path);
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return saved;
}

std::vector<VoiceInfo> InstalledVoices() {
    return {{"cmn-latn-pinyin", "Chinese Mandarin (espeak-ng)", "cmn"},
            {"yue", "Chinese Cantonese (espeak-ng)", "yue"},
            {"en", "English (espeak-ng)", "en"}};
}

// A shop's day: the opening words on weekdays, the welcome every day, a
// promotion read three times, Sunday's words (switched off for now), and a
// closing bell whose file has gone missing.
bool SaveTimetable(const TDM& store, const QString& program, const QString& out) {
    const TimetableTable table(store.Conn1);
    const auto add = [&](const char* time, int days, std::optional<std::int64_t> draft,
                         const std::string& file, int passes, int interval, const char* voice,
                         bool enabled) {
        TimetableRow entry;
        entry.stime = time;
        entry.days = days;
        entry.draftId = draft;
        entry.fileName = file;
        entry.passes = passes;
        entry.intervalSeconds = interval;
        entry.voice = voice;
        entry.enabled = enabled;
        return table.Add(entry);
    };
    const std::string bell = (program + QStringLiteral("开门铃声.mp3")).toStdString();
    QFile(QString::fromStdString(bell)).open(QIODevice::WriteOnly);
    add("08:50:00", kWeekdays, 2, "", 1, 0, "", true);
    add("08:55:00", kEveryDay, std::nullopt, bell, 2, 5, "", true);
    const std::int64_t welcome = add("09:00:00", kEveryDay, 1, "", 1, 0, "cmn-latn-pinyin", true);
    add("15:00:00", DayBit(6) | DayBit(7), 3, "", 3, 600, "cmn-latn-pinyin", true);
    add("10:00:00", DayBit(7), 1, "", 1, 0, "yue", false);
    add("21:50:00", kEveryDay, std::nullopt,
        (program + QStringLiteral("闭店音乐.wav")).toStdString(), 1, 0, "", true);

    const std::string log = (program + QStringLiteral("announcements.log")).toStdString();
    const AnnouncementLog announcements(log);
    announcements.Append({"2026-12-08 08:50:00", "08:50:00 营业准备词", "已播放"});
    announcements.Append({"2026-12-08 08:55:00", "08:55:00 开门铃声.mp3", "已播放"});
    announcements.Append({"2026-12-08 09:00:00", "09:00:00 基本介绍", "已播放"});
    announcements.Append(
        {"2026-12-08 21:50:00", "21:50:00 闭店音乐.wav", "已跳过：找不到声音文件"});
    announcements.Append({"2026-12-09 08:50:00", "08:50:00 营业准备词", "已播放"});
    announcements.Append(
        {"2026-12-09 08:55:00", "08:55:00 开门铃声.mp3", "已播放，打断了正在进行的朗读"});
    announcements.Append({"2026-12-09 09:00:00", "09:00:00 基本介绍", "已播放"});

    TimetableWindowContext context;
    context.store = &store.Conn1;
    context.voices = InstalledVoices;
    context.logFile = log;
    TimetableWindow window(context);
    window.SelectEntry(welcome);
    bool ok = Save(&window, out + QStringLiteral("timetable.png"));

    TimetableRow entry = TimetableTable(store.Conn1).Rows()[4];
    EntryDialogChoices choices;
    for (const DraftTitle& draft : DraftTitles(store.Conn1))
        choices.drafts.push_back(draft);
    choices.voices = InstalledVoices();
    TimetableEntryDialog editor(QStringLiteral("修改定时播报"), entry, choices, &window);
    ok &= Save(&editor, out + QStringLiteral("timetable-entry.png"));
    editor.hide();

    window.LogClick();
    ok &= Save(window.LogDialog(), out + QStringLiteral("timetable-log.png"));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    QTemporaryDir folder;
    const QString program = folder.path() + QStringLiteral("/");
    QFile::copy(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/draft.dat"),
                program + QStringLiteral("draft.dat"));
    const QString out = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/");
    QDir().mkpath(out);

    auto store = TDM::Connect(program.toStdString());
    // A few announced slots, so the page shows its switches in use.
    for (const char* time : {"08:00:00", "12:00:00", "18:30:00"}) {
        store->Q_telltime.LocateExact("stime", time);
        store->Q_telltime.Edit();
        store->Q_telltime.SetBool("isplay", true);
        store->Q_telltime.Post();
    }
    // An operator's list of a few words.
    const PronunciationTable pronunciations(store->Conn1);
    pronunciations.Add("重庆", "chong2 qing4");
    pronunciations.Add("会员卡", "hui4 yuan2 ka3");
    pronunciations.Add("KTV", "卡拉OK");
    pronunciations.Add("单田芳", "shan4 tian2 fang1");
    const SettingsFile settings = SettingsFile::InFolder(program.toStdString());
    ReadingState reading;
    TellTimeSchedule schedule;
    TFaddbiaodian* add = nullptr;
    TFdelaytime settingsDialog({store.get(),
                                &settings,
                                &reading,
                                &schedule,
                                [&] { add->show(); },
                                {&store->Conn1, {}, {}}});
    TFaddbiaodian addDialog(store.get(), [&] { settingsDialog.ReloadDelayGrid(); });
    add = &addDialog;

    bool ok = true;
    const char* pages[] = {"settings-delay.png", "settings-hotkeys.png", "settings-schedule.png",
                           "settings-pronunciation.png"};
    settingsDialog.Pronunciations()->Grid()->selectRow(1);
    for (int page = 0; page < 4; ++page) {
        settingsDialog.PageControl1()->setCurrentIndex(page);
        ok &= Save(&settingsDialog, out + QString::fromLatin1(pages[page]));
    }
    settingsDialog.hide();
    addDialog.Edit1()->setText(QStringLiteral("冒号"));
    addDialog.Edit2()->setText(QStringLiteral(":"));
    addDialog.SpinEdit1()->setValue(200);
    ok &= Save(&addDialog, out + QStringLiteral("add-symbol.png"));
    addDialog.hide();

    ScheduledTask task;
    const int now = QTime(10, 0).msecsSinceStartOfDay() / 1000;
    Tf_sch taskDialog(
        task, [now] { return now; }, [] {});
    ok &= Save(&taskDialog, out + QStringLiteral("task.png"));
    taskDialog.hide();

    Tf_shutprompt warning;
    warning.ShowFor("10:20");
    ok &= Save(&warning, out + QStringLiteral("shutdown-warning.png"));
    warning.hide();
    ok &= SaveTimetable(*store, program, out);
    return ok ? 0 : 1;
}
