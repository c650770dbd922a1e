// The main window: the editor in the middle, the tool bar above, the options
// panel on the right, the loop bar and the draft grid below the editor, the
// status bar at the foot, and the tray icon. Controls carry the system's
// names as object names. Handlers stay short: what they decide lives in
// MainWindowSettings, MemoGbkAdapter and the reading library.
#pragma once

#include "DocImport.h"
#include "DocumentNames.h"
#include "FindText.h"
#include "InstanceRequest.h"
#include "LoopReading.h"
#include "MainWindowSettings.h"
#include "MemoEditorPort.h"
#include "MemoGbkAdapter.h"
#include "MusicLibrary.h"
#include "MusicPlayer.h"
#include "PronunciationPage.h"
#include "ReadingCommands.h"
#include "ReadingState.h"
#include "ScheduledTask.h"
#include "SettingsFile.h"
#include "SpeechVoice.h"
#include "TextFileCodec.h"
#include "TimeAnnouncement.h"

#include <QMainWindow>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QDateTime;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QSlider;
class QSpinBox;
class QSplitter;
class QTableWidget;
class QTimer;
class QToolButton;
class QUrl;
class QWidget;

namespace sonvela {
namespace frontend {
class FrontEnd;
}

class EditorDialogs;

class Tfdateformat;
class TFexportaudio;
class GlobalHotKeys;
enum class Pictogram;
class PowerControl;
class RecoveryKeeper;
class FindRunner;
class ReaderHost;
class SessionEndWatcher;
class SpeechVoice;
class TDM;
class StatusNoticePanel;
class TFttsinstall;
class Tf_about;
class TFadddraft;
class TFaddbiaodian;
class TFdelaytime;
class Tf_sch;
class TimetableDriver;
class Tf_shutprompt;
class TimetableWindow;
class UiThreadEditorPort;

struct MainWindowServices {
    // The program folder, ending in the separator: setinfo.ini, the sample
    // texts and the help file are looked for there.
    std::string programFolder;
    TDM* dataModule = nullptr;    // may be null in tests: no history, no drafts
    SpeechVoice* voice = nullptr; // may be null: an empty voice list
    EditorDialogs* dialogs = nullptr;
    // The program proper shows its main window first and creates its other
    // windows (settings, task, warning, about, date format) and the clock in
    // the first turn of the event loop after it: hidden windows the operator
    // cannot reach yet should not delay the window he waits for. Tests leave
    // this off and get every part from the constructor.
    bool createOtherWindowsAfterShow = false;
    // The front-end every voice speaks through: the pronunciation page hands
    // it the operator's list. May be null (tests): the list is only stored.
    frontend::FrontEnd* frontEnd = nullptr;
    // Speaks `word` through voice `voiceIndex` with `reading` as its
    // pronunciation. Null: the word is spoken through `voice` as it stands.
    std::function<void(const std::string& word, const std::string& reading, int voiceIndex)>
        tryPronunciation{};
};

class Tf_speaker final : public QMainWindow, private ReadingWindow {
    Q_OBJECT

public:
    // Builds the window and runs its creation steps (FormCreate).
    explicit Tf_speaker(MainWindowServices services, QWidget* parent = nullptr);
    ~Tf_speaker() override;

    QPlainTextEdit* Memo1() const { return memo1_; }
    QPlainTextEdit* Memo2() const { return memo2_; }
    MemoGbkAdapter& Memo1Text() { return *memo1Text_; }
    // The crash copy of the unsaved text (tests shorten its timing).
    RecoveryKeeper& Recovery() { return *recovery_; }
    ReadingState& Reading() { return reading_; }
    // The reader's view of the editor, on the user-interface thread.
    EditorPort& EditorOnUiThread() { return *editorPort_; }
    // The reader threads; null when the program runs without a voice.
    ReaderHost* Reader() const { return readerHost_.get(); }
    QSystemTrayIcon* TrayIcon() const { return tray_; }
    // The settings start-up read for the hot keys (F5, F7, F9, F11), kept
    // until the hot keys are registered.
    const StartupValues& StartupSettings() const { return startup_; }
    QString StatusText(int panel) const;
    // Whether the show handling ran since the last call (tests).
    int ShowHandlingRuns() const { return showHandlingRuns_; }
    // The editor's modified flag: set by every change of the text, whether
    // typed or put there by a command (memo1Change), cleared by the commands
    // that load or save the text.
    bool EditorModified() const { return modified_; }
    // Clearing the flag also ends the crash copy of the text: what the
    // editor holds is then saved, loaded or knowingly dropped.
    void SetEditorModified(bool modified);
    // The save command the exit command's Yes answer runs (the document
    // commands set it to SB_save; tests may set their own). It answers
    // whether the text was written.
    void SetSaveCommand(std::function<bool()> save) { saveCommand_ = std::move(save); }
    // Whether the exit command (or the session's end) has ended the run.
    bool Exiting() const { return exiting_; }

    // Tray callback: left click hides or shows, right click brings the
    // window forward and opens PopupMenu4.
    void iconclick(QSystemTrayIcon::ActivationReason reason);

    // Commands, named after their controls.
    void N5Click();
    void N18Click();
    // "导出为音频文件…" (Tf_speakerExport.cpp): opens the export dialog with
    // the text, the options panel's voice and the loop bar's values.
    void ExportAudioClick();
    TFexportaudio* ExportDialog() const { return fexportaudio_; }
    void N23Click();
    void N25Click();
    void AlignClick(QAction* item);
    void SB_topClick();
    void SB_bottClick();
    void SB_panelClick();
    void SpeedButton1Click();
    void N31Click();
    void SB_closeClick();
    void btn_enable();
    void btn_disable();
    void TrackBar2Change();
    void TrackBar1Change();
    void Image1Click();
    void Image2Click();
    void memo1Change();

    // Loop reading (LoopReading.h) and the loop bar.
    void N36Click();
    void SB_repeatClick();
    void N22Click();
    void SB_repeat1Click();
    void readcycledTimer();
    void btn_okClick();
    QTimer* readcycled() const { return readcycled_; }

    // Text insertions: the date format dialog, "%Date%" at the caret, "※".
    void SB_timeClick();
    void Y1Click();
    // Inserts at the caret; a selection stays in place, unselected.
    void inserttime(const QString& text);
    // Inserts at the selection's start by setting the whole text again; the
    // caret ends at the start of the text.
    void insertpos(const QString& text);
    Tfdateformat* fdateformat() const { return fdateformat_; }

    // Reading commands (ReadingCommands.h); a fault of the speech engine
    // ends each with the general error report.
    void N1Click();
    void SB_jexuClick();
    void SB_playClick();
    void L1Click();
    void N2Click();
    void N3Click();
    void N41Click();
    void SB_stopClick();
    void showcaretpos();

    // Background music, voice notice, about box (Tf_speakerMusic.cpp).
    // The F5 hot key's toggle: Stop while the music plays, else Play.
    void bj_playing();
    MusicPlayer& Music() { return *music_; }
    void bj_okClick();
    // "语音信息": one more notice window on every click.
    void N44Click();
    // "关于(&A)": the about box, modal.
    void N32Click();
    const std::vector<TFttsinstall*>& VoiceNotices() const { return notices_; }
    Tf_about* AboutBox() const { return about_; }
    // Tests answer the folder chooser and the links instead of the desktop.
    void SetFolderChooser(std::function<QString(const QString& start)> chooser) {
        folderChooser_ = std::move(chooser);
    }
    void SetLinkOpener(std::function<void(const QUrl&)> opener) { linkOpener_ = std::move(opener); }
    // Documents, history, find and replace, drafts
    // The file the editor's text belongs to (UTF-8 path); empty: untitled.
    const std::string& CurrentFileName() const { return currentFileName_; }
    // The encoding the text is saved in.
    TextEncoding CurrentEncoding() const { return currentEncoding_; }
    // Which converters importdoc runs (tests choose; the program finds them).
    void SetDocConverters(DocConverters converters) { docConverters_ = std::move(converters); }
    void N35Click();
    void SB_openClick();
    // A file named on the command line (at start, or handed over by a later
    // start): opened as the open command opens the file chosen in its
    // dialog, after the save question.
    void OpenNamedFile(const std::string& path);
    // True when the text was written; false when the dialog was cancelled,
    // the overwrite question answered No or the write failed.
    bool SB_saveClick();
    void N21Click();
    void ListBox1Click();
    void ListBox1DblClick();
    void D2Click();
    // The save question: asks when the editor is modified and saves on Yes.
    // False when a save was asked for and did not happen: the command that
    // asked must then not go on, so the text is never dropped unsaved.
    bool savequestion();
    void addhistory(const std::string& path);
    bool importdoc(const std::string& path);
    void SpeedButton2Click();
    // A find panel command is still going through a long text.
    bool FindRunning() const;
    void SpeedButton3Click();
    void SpeedButton4Click();
    void N42Click();
    void N43Click();
    void chk_showgridClick();
    // The draft list editor, created when first needed.
    TFadddraft* DraftEditor();
    // Settings, hot keys, time announcement, scheduled task
    // (Tf_speakerSchedule.cpp).
    struct SchedulePlatform {
        GlobalHotKeys* hotKeys = nullptr;        // null: no global keys
        PowerControl* power = nullptr;           // null: a shutdown task only exits
        SessionEndWatcher* sessionEnd = nullptr; // null: not told of a session end
        std::function<void()> playChime;         // starts the chime, returns at once
    };
    // Registers the enabled hot keys and listens for the session's end;
    // the program calls it once, after the window is built.
    void StartPlatformServices(SchedulePlatform platform);
    // F5: the background music's play/stop toggle.
    void SetMusicToggle(std::function<void()> toggle) { musicToggle_ = std::move(toggle); }
    // The local clock the timers read (tests set a fake one).
    void SetScheduleClock(std::function<QDateTime()> clock);
    TFdelaytime* Fdelaytime() const { return fdelaytime_; }
    TFaddbiaodian* Faddbiaodian() const { return faddbiaodian_; }
    Tf_sch* f_sch() const { return fsch_; }
    Tf_shutprompt* f_shutprompt() const { return fshutprompt_; }
    TellTimeSchedule& TimeSchedule() { return schedule_; }
    ScheduledTask& Task() { return task_; }
    QTimer* Timer1() const { return timer1_; }
    QTimer* TellTimeTimer() const { return telltime_; }
    // The keys the desktop granted, in registration order.
    const std::vector<int>& RegisteredHotKeys() const { return registeredHotKeys_; }

    // The broadcast timetable (Tf_speakerTimetable.cpp). Reads the entries
    // from draft.dat again, after they were changed.
    void ReloadTimetable();
    // Null when the program runs without a voice.
    TimetableDriver* Announcements() const { return timetableDriver_.get(); }
    // Another program's request (not a file to open), answered at once. It
    // never changes the editor's text or its modified mark.
    RequestAnswer HandleRequest(const InstanceRequest& request);

    void conv_yyClick();
    void telltime();
    void telltimeing(const ScheduleRow& slot);
    void shutdown();
    void HotKeyPressed(int virtualKey);
    void sb_delayClick();
    void SB_scheduleClick();
    // The desktop session is ending: the exit command's settings are
    // written, an unsaved text is kept for the next start, and the program
    // ends. Never a power-off.
    void EndSession();

    // The broadcast timetable's window (Tf_speakerTimetable.cpp), created
    // when first opened from the 设置 menu or the tray menu.
    void ShowTimetableWindow();
    TimetableWindow* TimetableDialog() const { return timetableWindow_; }

Q_SIGNALS:
    // The operator added, changed or deleted timetable entries: the
    // timetable is to be read from draft.dat again.
    void timetableChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout, in Tf_speakerLayout.cpp.
    void BuildWindow();
    void BuildMenus();
    QWidget* BuildToolBar();
    QWidget* BuildOptionsPanel();
    QWidget* BuildCentre();
    QWidget* BuildLoopBar();
    void BuildStatusBar();
    void BuildContextMenus();
    void BuildTray();
    QToolButton* AddToolButton(const char* name, const QString& hint, Pictogram icon,
                               QWidget* parent);
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption);

    // Creation and show handling, in Tf_speaker.cpp.
    void FormCreate();
    void FormShow();
    void ApplySettings();
    void FillHistoryList();
    void FillVoiceList(int speaker);
    void LoadDraftGrid();
    void LoadIntroduction();
    void ShowEditorContextMenu(const QPoint& position);

    // Reading, in Tf_speakerReading.cpp.
    void CreateReader();
    void ConnectReadingCommands();
    // Loop reading and the text insertions, in Tf_speakerLoop.cpp.
    void ConnectLoopReading();
    void CreateDateFormatDialog();
    // The other windows and the clock; runs once, later calls do nothing.
    void CreateOtherWindows();
    bool otherWindowsCreated_ = false;
    std::string VoiceText() override;
    int VoiceIndex() override;
    bool CantoneseChosen() override;
    std::string CaretPanel() override;
    void SetCaretPanel(const std::string& text) override;
    std::int64_t DisplayLineStart(std::int32_t line) override;
    GbkString DisplayLineText(std::int32_t line) override;
    void DisableReadingControls() override { btn_disable(); }
    void EnableReadingControls() override { btn_enable(); }
    void FillHiddenCopy() override;
    GbkString TraditionalForm(const GbkString& text) override;
    void StopLoopTimer() override;
    void WarnNoVoice() override;

    MainWindowServices services_;
    SettingsFile settings_;
    ReadingState reading_;
    StartupValues startup_;
    int baserate_ = 0;
    int showHandlingRuns_ = 0;
    bool showHandlingSuppressed_ = false;
    bool exiting_ = false;
    bool modified_ = false;
    // A text is going into the editor (SetEditorText): its changes are not
    // the operator's edits.
    int loadingText_ = 0;
    std::function<bool()> saveCommand_;

    QPlainTextEdit* memo1_ = nullptr;
    QPlainTextEdit* memo2_ = nullptr;
    MemoGbkAdapter* memo1Text_ = nullptr;
    RecoveryKeeper* recovery_ = nullptr;
    MemoGbkAdapter* memo2Text_ = nullptr;
    std::unique_ptr<MemoEditorPort> editorPort_;
    // Declared after the ports so that it is destroyed first: its teardown
    // closes the reader's port and joins the readers, which use both.
    std::unique_ptr<UiThreadEditorPort> readerPort_;
    std::unique_ptr<ReaderHost> readerHost_;
    std::unique_ptr<ReadingCommands> commands_;
    std::unique_ptr<LoopReading> loop_;
    QTimer* readcycled_ = nullptr;
    Tfdateformat* fdateformat_ = nullptr;
    TFexportaudio* fexportaudio_ = nullptr;
    // The voices of the voice list, in its order.
    std::vector<VoiceInfo> voices_;

    QWidget* panel2_ = nullptr;
    QWidget* panel9_ = nullptr;
    QWidget* panel5_ = nullptr;
    QWidget* panel7_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* image2_ = nullptr;
    QComboBox* voiceList_ = nullptr;
    QSlider* trackBar1_ = nullptr;
    QSlider* trackBar2_ = nullptr;
    QLabel* staticText6_ = nullptr;
    QLabel* staticText9_ = nullptr;
    QListWidget* listBox1_ = nullptr;
    QSpinBox* spinEdit1_ = nullptr;
    QSpinBox* spinEdit2_ = nullptr;
    QSpinBox* bjV_ = nullptr;
    QSpinBox* bjV1_ = nullptr;
    QComboBox* comBox1_ = nullptr;
    QCheckBox* chkShowgrid_ = nullptr;
    QSplitter* splitter1_ = nullptr;
    QTableWidget* sGrid1_ = nullptr;
    QLabel* statusPanels_[4] = {};
    // The text was put in whole: the caret panel follows the caret's next move.
    bool caretPanelStale_ = false;
    // Panel 3: the music track, and the program's notices for a while.
    StatusNoticePanel* noticePanel_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    QMenu* popupMenu4_ = nullptr;
    QAction* n5_ = nullptr;
    QAction* n18_ = nullptr;
    QAction* n27_ = nullptr;
    QAction* n28_ = nullptr;
    QAction* n29_ = nullptr;
    // Background music, voice notice, about box (Tf_speakerMusic.cpp).
    void CreateMusicPanel();
    void CreateAboutBox();
    void ShowVoiceNoticeOnShow();
    void OpenVoiceNotice();
    void ShowSelectedEntry(int row);
    MusicLibrary* musicLibrary_ = nullptr;
    std::unique_ptr<MusicPlayer> music_;
    QListWidget* bjListBox1_ = nullptr;
    QLabel* rzLEDDisplay1_ = nullptr;
    QTimer* bjTimer1_ = nullptr;
    QTimer* bjTimer2_ = nullptr;
    std::vector<TFttsinstall*> notices_;
    Tf_about* about_ = nullptr;
    std::function<QString(const QString&)> folderChooser_;
    std::function<void(const QUrl&)> linkOpener_;
    // Documents, history, find and replace, drafts
    void ConnectDocumentCommands();
    void ConnectFindCommands();
    void ConnectDraftCommands();
    // Puts a text into the editor and marks it unmodified.
    // A long text goes in in steps (EditorFill.h); `name` is what the
    // status bar says is being opened.
    void SetEditorText(std::u16string text, const QString& name = QString());
    void ClearEditor();
    // Loads a text file into the editor; false (after the general error
    // report) when it cannot be read. An undecodable file is shown as an
    // untitled text with a warning.
    bool LoadTextFile(const std::string& path);
    // The open command from the chosen path on.
    void OpenChosenFile(const std::string& path, DocumentKind kind);
    // Writes the editor's text to `path`; false after the error report.
    bool WriteEditorText(const std::string& path);
    void SetStatusFile(const std::string& path);
    FindOptions ReadFindOptions() const;
    void ApplyFindStep(const FindStep& step, const FindOptions& options);
    std::string currentFileName_;
    TextEncoding currentEncoding_ = TextEncoding::Gbk;
    LineBreak currentLineBreak_ = LineBreak::CrLf;
    DocConverters docConverters_;
    FindSession findSession_;
    // After findSession_: a command still running when the window goes is
    // dropped before the session it works for.
    std::unique_ptr<FindRunner> findRunner_;
    void StartFindCommand(bool replace, bool replaceAll);
    TFadddraft* draftEditor_ = nullptr;
    QMenu* popupMenu3_ = nullptr;
    QMenu* popupMenu7_ = nullptr;
    // Settings, hot keys, time announcement, scheduled task
    void CreateScheduleParts();
    // What the page "读音" of the settings dialog needs of the window.
    PronunciationPageContext PronunciationPageParts();
    void OfferRecoveredText();
    int SecondsOfDayNow() const;
    void TaskChanged();
    // Stop, then `start` once the stopped reader is gone (F7, F9).
    void StopThenStart(std::function<void()> start);
    void StartWhenReaderGone();
    TellTimeSchedule schedule_;
    std::unique_ptr<TimeAnnouncer> announcer_;
    ScheduledTask task_;
    SchedulePlatform platform_;
    std::function<void()> musicToggle_;
    std::function<QDateTime()> clock_;
    std::vector<int> registeredHotKeys_;
    TFdelaytime* fdelaytime_ = nullptr;
    TFaddbiaodian* faddbiaodian_ = nullptr;
    Tf_sch* fsch_ = nullptr;
    Tf_shutprompt* fshutprompt_ = nullptr;
    QTimer* telltime_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* restartPoll_ = nullptr;
    std::function<void()> pendingStart_;

    TimetableWindow* timetableWindow_ = nullptr;

    QSystemTrayIcon* tray_ = nullptr;
    // The reading controls btn_disable and btn_enable switch together.
    std::vector<QWidget*> readingControls_;

    // The broadcast timetable. Last, so that its draft reader is joined
    // before the reading state and the window's parts it uses are gone.
    void CreateTimetableDriver();
    void TimetableOperatorStopped();
    QLabel* timetablePanel_ = nullptr;
    std::unique_ptr<TimetableDriver> timetableDriver_;
};

} // namespace sonvela
