#include "Tf_speaker.h"

#include "DataModule.h"
#include "EditorDialogs.h"
#include "FindRunner.h"
#include "FunctionUnit.h"
#include "GbkText.h"
#include "MainWindowSettings.h"
#include "RecoveryKeeper.h"
#include "SettingsKeys.h"
#include "SpeechVoice.h"
#include "TimetableDriver.h"
#include "Tts.h"
#include "UiThreadEditorPort.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTextDocument>
#include <QTextOption>
#include <QTimer>
#include <fstream>
#include <iterator>

namespace sonvela {
namespace {

QColor ToQColor(Color color) {
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

Color ToColor(const QColor& color) {
    return MakeColor(color.red(), color.green(), color.blue());
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetEditorColor(QPlainTextEdit* memo, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = memo->palette();
    palette.setColor(role, color);
    memo->setPalette(palette);
}

FontStyle StyleOf(const QFont& font) {
    return {font.bold(), font.italic(), font.underline(), font.strikeOut()};
}

} // namespace

Tf_speaker::Tf_speaker(MainWindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)),
      settings_(SettingsFile::InFolder(services_.programFolder)) {
    BuildWindow();

    // The editor's design appearance; the settings may change it below.
    SetEditorColor(memo1_, QPalette::Base, ToQColor(settings::Memo::kDesignBackground));
    SetEditorColor(memo1_, QPalette::Text, ToQColor(settings::Memo::kDesignTextColor));
    QFont font = memo1_->font();
    font.setPointSize(settings::Memo::kFontsizeDefault);
    memo1_->setFont(font);

    connect(memo1_, &QPlainTextEdit::textChanged, this, &Tf_speaker::memo1Change);
    memo1Text_ = new MemoGbkAdapter(memo1_);
    memo2Text_ = new MemoGbkAdapter(memo2_);
    recovery_ = new RecoveryKeeper(
        services_.programFolder, memo1_->document(),
        [this](const std::string& fault) {
            statusPanels_[3]->setText(FromUtf8("未能保存文章的恢复副本: " + fault));
        },
        this);
    editorPort_ = std::make_unique<MemoEditorPort>(
        *memo1Text_, *memo2Text_,
        MemoEditorPort::Hooks{[this] { btn_enable(); }, [this] { memo1_->setFocus(); },
                              [](const std::string& fault) { ShowErrorReport(fault); }});

    for (const char* name :
         {"SB_new", "SB_open", "SB_save", "SB_jexu", "SB_play", "SB_repeat", "SB_repeat1", "SB_top",
          "SB_bott", "SB_time", "sb_delay", "btn_ok", "SpinEdit1", "SpinEdit2"}) {
        if (auto* control = findChild<QWidget*>(QString::fromLatin1(name)))
            readingControls_.push_back(control);
    }
    CreateReader();
    ConnectReadingCommands();
    ConnectDocumentCommands();
    FormCreate();
    // The caret's line from the start, before any key or mouse release.
    showcaretpos();
    if (!services_.createOtherWindowsAfterShow)
        CreateOtherWindows();
}

void Tf_speaker::CreateOtherWindows() {
    if (otherWindowsCreated_)
        return;
    otherWindowsCreated_ = true;
    CreateScheduleParts();
    CreateAboutBox();
    CreateDateFormatDialog();
}

Tf_speaker::~Tf_speaker() = default;

QString Tf_speaker::StatusText(int panel) const {
    return statusPanels_[panel]->text();
}

// ---- Creation and show handling -------------------------------------------

void Tf_speaker::FormCreate() {
    tray_->show();

    // A settings file that exists but cannot be read or written is left as
    // it is; the operator hears of it once, and the program runs on.
    if (const auto fault = settings_.CheckAtStartup())
        WarnBox(*fault);

    // The first run is the one that finds no settings file.
    const bool firstRun = !settings_.Exists();
    const std::string priceList = services_.programFolder + "报价单.txt";
    if (firstRun && services_.dataModule && QFileInfo::exists(FromUtf8(priceList)))
        RunCommand([&] { services_.dataModule->AddHistory(Utf8ToGbk(priceList)); });

    const QDate today = QDate::currentDate();
    statusPanels_[1]->setText(
        FromUtf8(DateWithWeekday(today.year(), today.month(), today.day(), today.dayOfWeek())));

    ApplySettings();
    CreateMusicPanel();
    FillHistoryList();
    FillVoiceList(startup_.speaker);
    Image2Click();
    if (firstRun)
        LoadIntroduction();
    if (services_.dataModule) {
        RunCommand([&] {
            std::vector<DelaySymbolRow> rows;
            for (const DelaySymbol& symbol : services_.dataModule->DelaySymbols())
                rows.push_back({symbol.symbol, symbol.pauseMs, symbol.candelete});
            getdelaystring(reading_, rows);
        });
    }
    LoadDraftGrid();
}

void Tf_speaker::ApplySettings() {
    if (services_.voice)
        RunCommand([&] { baserate_ = services_.voice->Rate(); });

    const EditorAppearance appearance = ReadEditorAppearance(settings_);
    if (appearance.background)
        SetEditorColor(memo1_, QPalette::Base, ToQColor(*appearance.background));
    if (appearance.textColor)
        SetEditorColor(memo1_, QPalette::Text, ToQColor(*appearance.textColor));
    QFont font = memo1_->font();
    if (appearance.fontSize > 0)
        font.setPointSize(appearance.fontSize);
    RunCommand(
        [&] { WriteMemoColor(settings_, ToColor(memo1_->palette().color(QPalette::Base))); });
    if (!appearance.fontName.empty())
        font.setFamily(FromUtf8(appearance.fontName));

    startup_ = ReadStartupValues(settings_);
    const StartupValues& values = startup_;
    sGrid1_->setVisible(values.showGrid);
    chkShowgrid_->setChecked(values.showGrid);

    font.setBold(appearance.style.bold);
    font.setItalic(appearance.style.italic);
    font.setUnderline(appearance.style.underline);
    font.setStrikeOut(appearance.style.strikeOut);
    memo1_->setFont(font);

    // Each slider is applied as its change does, also when its position
    // stays: the voice gets the rate and the volume either way.
    for (QSlider* slider : {trackBar2_, trackBar1_})
        slider->blockSignals(true);
    trackBar2_->setValue(values.rate);
    trackBar1_->setValue(values.volume);
    for (QSlider* slider : {trackBar2_, trackBar1_})
        slider->blockSignals(false);
    TrackBar2Change();
    TrackBar1Change();

    LoadReadingSettings(reading_, settings_);
    spinEdit1_->setValue(values.readtimes);
    spinEdit2_->setValue(values.intervaltime);
    comBox1_->setCurrentIndex(values.playmode);
    bjV_->setValue(values.defaultVolume);
    bjV1_->setValue(values.defaultVolume1);
}

void Tf_speaker::FillHistoryList() {
    listBox1_->clear();
    TDM* store = services_.dataModule;
    if (!store)
        return;
    RunCommand([&] {
        Dataset& history = store->Q_history;
        for (history.First(); !history.Eof(); history.Next())
            listBox1_->addItem(FromUtf8(GbkToUtf8(history.AsText("filename"))));
        history.First();
    });
}

void Tf_speaker::FillVoiceList(int speaker) {
    voiceList_->clear();
    voices_.clear();
    if (!services_.voice)
        return;
    RunCommand([&] {
        voices_ = services_.voice->GetVoices();
        for (const VoiceInfo& voice : voices_)
            voiceList_->addItem(FromUtf8(voice.description));
    });
    // A stored index beyond the list leaves nothing chosen.
    voiceList_->setCurrentIndex(speaker < voiceList_->count() ? speaker : -1);
}

void Tf_speaker::LoadIntroduction() {
    const std::string path = services_.programFolder + "基本介绍.txt";
    if (!QFileInfo::exists(FromUtf8(path)))
        return;
    RunCommand([&] {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            throw std::runtime_error("无法读取文件 " + path);
        const std::string gbk((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
        memo1_->setPlainText(FromUtf8(GbkToUtf8(gbk)));
        SetEditorModified(false);
    });
}

void Tf_speaker::LoadDraftGrid() {
    sGrid1_->setRowCount(0);
    TDM* store = services_.dataModule;
    if (!store)
        return;
    RunCommand([&] {
        Dataset& drafts = store->Q_draft1;
        sGrid1_->setRowCount(drafts.RecordCount());
        int row = 0;
        for (drafts.First(); !drafts.Eof(); drafts.Next(), ++row) {
            const QString memory =
                FromUtf8(drafts.IsNull("memory") ? std::string() : drafts.AsUtf8("memory"));
            auto* text = new QTableWidgetItem;
            // The cell keeps the whole text; the grid shows it on one line.
            text->setData(Qt::UserRole, memory);
            text->setData(Qt::DisplayRole,
                          QString(memory).replace(QLatin1Char('\n'), QLatin1Char(' ')));
            sGrid1_->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
            sGrid1_->setItem(row, 1, new QTableWidgetItem(FromUtf8(drafts.AsUtf8("name"))));
            sGrid1_->setItem(row, 2, text);
            sGrid1_->setItem(row, 3, new QTableWidgetItem(QString::number(drafts.AsInteger("id"))));
        }
        drafts.First();
    });
}

void Tf_speaker::FormShow() {
    ++showHandlingRuns_;
    ShowVoiceNoticeOnShow();
    sGrid1_->setColumnWidth(2, width() - 460);
}

void Tf_speaker::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && !showHandlingSuppressed_)
        FormShow();
    if (!otherWindowsCreated_)
        QTimer::singleShot(0, this, &Tf_speaker::CreateOtherWindows);
}

void Tf_speaker::memo1Change() {
    // A long text goes in over many turns of the event loop; copying it
    // for recovery half loaded would hold the window for seconds, and the
    // copy would be dropped once it is in anyway.
    if (loadingText_ > 0)
        return;
    modified_ = true;
    recovery_->TextChanged();
}

void Tf_speaker::SetEditorModified(bool modified) {
    modified_ = modified;
    if (!modified)
        recovery_->Discard();
}

// ---- Tray and window commands ---------------------------------------------

void Tf_speaker::iconclick(QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Context) {
        raise();
        activateWindow();
        popupMenu4_->popup(QCursor::pos());
    } else if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        // Every release of the left button toggles; the toolkit reports the
        // second click of a quick pair as a double click instead.
        if (isVisible()) {
            hide();
        } else {
            show();
            raise();
            activateWindow();
        }
    }
}

void Tf_speaker::N5Click() {
    n5_->setChecked(true);
    n18_->setChecked(false);
    // Showing from the tray menu does not run the show handling.
    showHandlingSuppressed_ = true;
    show();
    showHandlingSuppressed_ = false;
    raise();
    activateWindow();
}

void Tf_speaker::N18Click() {
    n5_->setChecked(false);
    n18_->setChecked(true);
    hide();
}

void Tf_speaker::closeEvent(QCloseEvent* event) {
    if (exiting_) {
        event->accept();
        return;
    }
    // The close box only hides: the program goes on in the tray.
    event->ignore();
    N18Click();
}

bool Tf_speaker::eventFilter(QObject* watched, QEvent* event) {
    // The caret position is refreshed on the editor's key and mouse-button
    // releases only (memo1KeyUp, memo1MouseUp).
    if ((event->type() == QEvent::KeyRelease && watched == memo1_) ||
        (event->type() == QEvent::MouseButtonRelease && watched == memo1_->viewport()))
        showcaretpos();
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == image1_)
            Image1Click();
        else if (watched == image2_)
            Image2Click();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tf_speaker::Image1Click() {
    panel7_->show();
    image1_->hide();
    image2_->show();
}

void Tf_speaker::Image2Click() {
    // Closing the panel ends a find still running.
    findRunner_->Cancel();
    panel7_->hide();
    image1_->show();
    image2_->hide();
}

void Tf_speaker::ShowEditorContextMenu(const QPoint& position) {
    popupMenu1_->popup(memo1_->viewport()->mapToGlobal(position));
}

void Tf_speaker::N23Click() {
    if (!services_.dialogs)
        return;
    const FontChoice current{memo1_->font(), memo1_->palette().color(QPalette::Text)};
    if (const auto chosen = services_.dialogs->ChooseFont(current, this)) {
        memo1_->setFont(chosen->font);
        SetEditorColor(memo1_, QPalette::Text, chosen->color);
    }
    // Written whether or not the dialog was confirmed.
    const QFont font = memo1_->font();
    RunCommand([&] {
        WriteFontKeys(settings_, {ToColor(memo1_->palette().color(QPalette::Text)),
                                  font.pointSize(), font.family().toStdString(), StyleOf(font)});
    });
}

void Tf_speaker::N25Click() {
    if (!services_.dialogs)
        return;
    if (const auto chosen =
            services_.dialogs->ChooseColor(memo1_->palette().color(QPalette::Base), this))
        SetEditorColor(memo1_, QPalette::Base, *chosen);
    RunCommand(
        [&] { WriteMemoColor(settings_, ToColor(memo1_->palette().color(QPalette::Base))); });
}

void Tf_speaker::AlignClick(QAction* item) {
    memo1_->selectAll();
    // The plain editor ignores block formats; its layout follows the
    // document's default text option.
    QTextDocument* document = memo1_->document();
    QTextOption option = document->defaultTextOption();
    option.setAlignment(item == n28_   ? Qt::AlignHCenter
                        : item == n29_ ? Qt::AlignRight
                                       : Qt::AlignLeft);
    document->setDefaultTextOption(option);
    for (QAction* each : {n27_, n28_, n29_})
        each->setChecked(each == item);
}

void Tf_speaker::SB_topClick() {
    memo1Text_->SetCaret(0);
    memo1_->ensureCursorVisible();
    memo1_->setFocus();
}

void Tf_speaker::SB_bottClick() {
    memo1Text_->SetCaret(memo1Text_->TotalBytes());
    memo1_->ensureCursorVisible();
    memo1_->setFocus();
}

void Tf_speaker::SB_panelClick() {
    panel2_->setHidden(!panel2_->isHidden());
}

void Tf_speaker::SpeedButton1Click() {
    panel9_->hide();
}

void Tf_speaker::N31Click() {
    const QString help = FromUtf8(services_.programFolder + "speaker.chm");
    if (services_.dialogs && QFileInfo::exists(help))
        services_.dialogs->OpenWithDesktop(help);
}

void Tf_speaker::btn_enable() {
    for (QWidget* control : readingControls_)
        control->setEnabled(true);
}

void Tf_speaker::btn_disable() {
    for (QWidget* control : readingControls_)
        control->setEnabled(false);
}

void Tf_speaker::TrackBar2Change() {
    staticText6_->setText(QString::number(trackBar2_->value()));
    if (services_.voice)
        RunCommand([&] { services_.voice->SetRate(trackBar2_->value() + baserate_); });
    memo1_->setFocus();
}

void Tf_speaker::TrackBar1Change() {
    staticText9_->setText(QString::number(trackBar1_->value()));
    if (services_.voice)
        RunCommand([&] { services_.voice->SetVolume(trackBar1_->value()); });
    memo1_->setFocus();
}

// ---- Exit -----------------------------------------------------------------

void Tf_speaker::SB_closeClick() {
    // A running reader is asked to stop and not waited for.
    reading_.stopreading = true;
    if (modified_ && ConfirmBox("文章已被修改，要保存吗？") && saveCommand_) {
        // A save that did not happen (cancelled, refused, failed) keeps the
        // program running with the text as it was: exiting would drop it.
        bool saved = false;
        RunCommand([&] { saved = saveCommand_(); });
        if (!saved)
            return;
    }
    // Saved, unchanged or dropped on No: nothing is left to recover.
    recovery_->Discard();
    tray_->hide();
    RunCommand([&] {
        WriteExitValues(settings_,
                        {voiceList_->currentIndex(), trackBar2_->value(), trackBar1_->value(),
                         bjV_->value(), bjV1_->value(), comBox1_->currentIndex()});
    });
    exiting_ = true;
    QCoreApplication::exit(0);
}

} // namespace sonvela
