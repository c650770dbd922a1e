// Pictures of the schedule and settings windows as the X server draws them:
// the four pages of the system settings dialog, the add-symbol dialog, the
// task dialog and the shutdown warning.
// Usage: schedule_screenshots <staged program folder> <output folder>
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

#include <QApplication>
#include <QDir>
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
    return ok ? 0 : 1;
}
