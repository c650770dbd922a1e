#include "TFexportaudio.h"

#include "GbkText.h"
#include "TraditionalChinese.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace sonvela {

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

constexpr ExportFormat kFormats[] = {ExportFormat::Wav, ExportFormat::Mp3, ExportFormat::Opus,
                                     ExportFormat::Flac};

QString Extension(ExportFormat format) {
    return QString::fromLatin1(ExtensionOf(format).data(),
                               static_cast<qsizetype>(ExtensionOf(format).size()));
}

// "1 分 05 秒" or "12 秒".
QString DurationText(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(std::max(seconds, 0.0)));
    if (whole < 60)
        return S("%1 秒").arg(whole);
    return S("%1 分 %2 秒").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TFexportaudio::TFexportaudio(SpeechFactory speech, OverwriteQuestion overwrite,
                             FailureReport report, QWidget* parent)
    : QDialog(parent), speechFactory_(std::move(speech)), overwrite_(std::move(overwrite)),
      report_(std::move(report)) {
    setObjectName(QStringLiteral("TFexportaudio"));
    setWindowTitle(S("导出为音频文件"));
    BuildControls();
}

TFexportaudio::~TFexportaudio() {
    StopWorker();
}

void TFexportaudio::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* what = new QGroupBox(S("导出内容"), this);
    auto* whatLayout = new QHBoxLayout(what);
    wholeText_ = Named(new QRadioButton(S("全文"), what), "rb_whole");
    selectionOnly_ = Named(new QRadioButton(S("所选内容"), what), "rb_selection");
    whatLayout->addWidget(wholeText_);
    whatLayout->addWidget(selectionOnly_);
    whatLayout->addStretch();
    layout->addWidget(what);

    auto* voice = new QGroupBox(S("语音"), this);
    auto* voiceLayout = new QGridLayout(voice);
    voiceList_ = Named(new QComboBox(voice), "cb_voice");
    voiceLayout->addWidget(new QLabel(S("语音:"), voice), 0, 0);
    voiceLayout->addWidget(voiceList_, 0, 1, 1, 2);
    rate_ = Named(new QSlider(Qt::Horizontal, voice), "tb_rate");
    rate_->setRange(-10, 15);
    rateValue_ = new QLabel(voice);
    rateValue_->setMinimumWidth(30);
    voiceLayout->addWidget(new QLabel(S("语速:"), voice), 1, 0);
    voiceLayout->addWidget(rate_, 1, 1);
    voiceLayout->addWidget(rateValue_, 1, 2);
    volume_ = Named(new QSlider(Qt::Horizontal, voice), "tb_volume");
    volume_->setRange(0, 100);
    volumeValue_ = new QLabel(voice);
    voiceLayout->addWidget(new QLabel(S("音量:"), voice), 2, 0);
    voiceLayout->addWidget(volume_, 2, 1);
    voiceLayout->addWidget(volumeValue_, 2, 2);
    layout->addWidget(voice);
    connect(rate_, &QSlider::valueChanged, rateValue_,
            [this](int value) { rateValue_->setText(QString::number(value)); });
    connect(volume_, &QSlider::valueChanged, volumeValue_,
            [this](int value) { volumeValue_->setText(QString::number(value)); });

    auto* sound = new QGroupBox(S("循环与背景音乐"), this);
    auto* soundLayout = new QGridLayout(sound);
    loop_ = Named(new QCheckBox(S("循环朗读"), sound), "chk_loop");
    loops_ = Named(new QSpinBox(sound), "se_loops");
    loops_->setRange(1, 1000000);
    interval_ = Named(new QSpinBox(sound), "se_interval");
    interval_->setRange(1, 10000000);
    soundLayout->addWidget(loop_, 0, 0);
    soundLayout->addWidget(new QLabel(S("循环次数"), sound), 0, 1);
    soundLayout->addWidget(loops_, 0, 2);
    soundLayout->addWidget(new QLabel(S("间隔秒数"), sound), 0, 3);
    soundLayout->addWidget(interval_, 0, 4);
    music_ = Named(new QCheckBox(S("加入背景音乐"), sound), "chk_music");
    musicInfo_ = Named(new QLabel(sound), "lb_music");
    musicInfo_->setWordWrap(true);
    soundLayout->addWidget(music_, 1, 0);
    soundLayout->addWidget(musicInfo_, 1, 1, 1, 4);
    layout->addWidget(sound);
    connect(loop_, &QCheckBox::toggled, this, [this] { UpdateControls(); });
    connect(music_, &QCheckBox::toggled, this, [this] { UpdateControls(); });

    auto* file = new QGroupBox(S("文件"), this);
    auto* fileLayout = new QGridLayout(file);
    format_ = Named(new QComboBox(file), "cb_format");
    for (const ExportFormat format : kFormats)
        format_->addItem(QString::fromUtf8(DisplayNameOf(format).data(),
                                           static_cast<qsizetype>(DisplayNameOf(format).size())));
    format_->setCurrentIndex(1); // MP3: what players, phones and PA boxes take
    fileName_ = Named(new QLineEdit(file), "ed_file");
    fileName_->setMinimumWidth(360);
    browse_ = Named(new QPushButton(S("浏览…"), file), "btn_browse");
    fileLayout->addWidget(new QLabel(S("格式:"), file), 0, 0);
    fileLayout->addWidget(format_, 0, 1);
    fileLayout->addWidget(new QLabel(S("文件名:"), file), 1, 0);
    fileLayout->addWidget(fileName_, 1, 1);
    fileLayout->addWidget(browse_, 1, 2);
    layout->addWidget(file);
    connect(format_, &QComboBox::currentIndexChanged, this, [this] { FormatChanged(); });
    connect(browse_, &QPushButton::clicked, this, [this] { ChooseFile(); });

    progress_ = Named(new QProgressBar(this), "pb_progress");
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progressText_ = Named(new QLabel(this), "lb_progress");
    layout->addWidget(progress_);
    layout->addWidget(progressText_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    export_ = Named(new QPushButton(S("导出"), this), "btn_export");
    export_->setDefault(true);
    cancel_ = Named(new QPushButton(S("取消"), this), "btn_cancel");
    buttons->addWidget(export_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(export_, &QPushButton::clicked, this, [this] { btn_exportClick(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { btn_cancelClick(); });
}

void TFexportaudio::Prepare(const ExportRequest& request) {
    if (Running())
        return; // an export in progress keeps its dialog as it is
    request_ = request;
    wholeText_->setChecked(true);
    selectionOnly_->setEnabled(!request.selection.isEmpty());
    voiceList_->clear();
    for (const VoiceInfo& voice : request.voices)
        voiceList_->addItem(QString::fromStdString(voice.description));
    voiceList_->setCurrentIndex(request.voice);
    rate_->setValue(request.rate);
    rateValue_->setText(QString::number(rate_->value()));
    volume_->setValue(request.volume);
    volumeValue_->setText(QString::number(volume_->value()));
    loop_->setChecked(false);
    loops_->setValue(request.loops);
    interval_->setValue(request.interval);
    music_->setChecked(false);
    music_->setEnabled(!request.musicFiles.empty());
    musicInfo_->setText(request.musicFiles.empty()
                            ? S("音乐文件夹中没有 MP3 文件")
                            : S("%1（%2 首，朗读时音量 %3，间隔时音量 %4）")
                                  .arg(QDir::toNativeSeparators(request.musicFolder))
                                  .arg(request.musicFiles.size())
                                  .arg(request.readingVolume)
                                  .arg(request.musicVolume));

    // Beside the text, under its name; an unsaved text goes to the default
    // folder as "未命名".
    const ExportFormat format = kFormats[format_->currentIndex()];
    QString base;
    if (!request.documentPath.isEmpty()) {
        const QFileInfo document(request.documentPath);
        base = document.absolutePath() + QLatin1Char('/') + document.completeBaseName();
    } else {
        base = QDir(request.defaultFolder).filePath(S("未命名"));
    }
    fileName_->setText(base + Extension(format));
    progress_->setValue(0);
    progressText_->clear();
    UpdateControls();
}

void TFexportaudio::UpdateControls() {
    const bool running = Running();
    for (QWidget* control : std::initializer_list<QWidget*>{
             wholeText_, voiceList_, rate_, volume_, loop_, format_, fileName_, browse_, export_})
        control->setEnabled(!running);
    selectionOnly_->setEnabled(!running && !request_.selection.isEmpty());
    loops_->setEnabled(!running && loop_->isChecked());
    interval_->setEnabled(!running && loop_->isChecked());
    music_->setEnabled(!running && !request_.musicFiles.empty());
    musicInfo_->setEnabled(music_->isEnabled() && music_->isChecked());
}

void TFexportaudio::FormatChanged() {
    // The name follows the format: "通知.mp3" becomes "通知.flac".
    const QString name = fileName_->text();
    const ExportFormat format = kFormats[format_->currentIndex()];
    const QFileInfo info(name);
    if (name.isEmpty())
        return;
    const QString suffix = info.suffix();
    const bool known = ExportFormatOfPath(name.toStdString()).has_value();
    const QString stem = known ? name.left(name.size() - suffix.size() - 1) : name;
    fileName_->setText(stem + Extension(format));
}

void TFexportaudio::ChooseFile() {
    const ExportFormat format = kFormats[format_->currentIndex()];
    const QString filter = S("%1 文件 (*%2)").arg(format_->currentText(), Extension(format));
    const QString chosen =
        QFileDialog::getSaveFileName(this, S("导出为音频文件"), fileName_->text(), filter, nullptr,
                                     QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return;
    fileName_->setText(ExportFormatOfPath(chosen.toStdString()) ? chosen
                                                                : chosen + Extension(format));
    if (const auto chosenFormat = ExportFormatOfPath(fileName_->text().toStdString())) {
        for (int i = 0; i < static_cast<int>(std::size(kFormats)); ++i) {
            if (kFormats[i] == *chosenFormat) {
                const QSignalBlocker block(format_);
                format_->setCurrentIndex(i);
            }
        }
    }
}

QString TFexportaudio::FileName() const {
    return fileName_->text().trimmed();
}

AnnouncementSettings TFexportaudio::Settings() const {
    AnnouncementSettings settings;
    const QString text = selectionOnly_->isChecked() ? request_.selection : request_.text;
    settings.text = Utf16ToGbk(text.toStdU16String());
    const int voice = voiceList_->currentIndex();
    // The Cantonese voice reads the traditional-character copy, as it does
    // live.
    if (voice >= 0 && static_cast<std::size_t>(voice) < request_.voices.size() &&
        IsCantoneseVoice(request_.voices[static_cast<std::size_t>(voice)]))
        settings.text = TraditionalForm(settings.text);
    if (loop_->isChecked()) {
        settings.loop = true;
        settings.passes = loops_->value();
        settings.intervalSeconds = interval_->value();
    }
    settings.withMusic = music_->isChecked();
    settings.music = {request_.musicFiles, request_.musicVolume, request_.readingVolume};
    if (request_.symbols)
        settings.symbols = *request_.symbols;
    settings.signdelay = request_.signdelay;
    settings.datetimetype = request_.datetimetype;
    return settings;
}

void TFexportaudio::btn_exportClick() {
    if (Running())
        return;
    const QString name = FileName();
    const auto format = ExportFormatOfPath(name.toStdString());
    if (name.isEmpty() || !format) {
        report_(S("请输入以 .wav、.mp3、.opus 或 .flac 结尾的文件名。"));
        return;
    }
    if (voiceList_->currentIndex() < 0) {
        report_(S("请选择语音引擎!"));
        return;
    }
    const AnnouncementSettings settings = Settings();
    if (IsBlank(settings.text)) {
        report_(S("没有可以导出的文字。"));
        return;
    }
    if (QFileInfo::exists(name) && !overwrite_(name))
        return;
    try {
        speech_ = speechFactory_(voiceList_->currentIndex(), rate_->value(), volume_->value());
    } catch (const std::exception& fault) {
        report_(S("语音引擎无法启动：%1").arg(QString::fromStdString(fault.what())));
        return;
    }

    cancelRequested_ = false;
    progress_->setValue(0);
    progressText_->setText(S("正在导出…"));
    const std::string target = name.toStdString();
    worker_ = std::thread([this, settings, target, format = *format] {
        const ExportResult result = ExportAnnouncement(
            settings, *speech_, target, format, cancelRequested_,
            [this](const ExportProgress& progress) {
                QMetaObject::invokeMethod(
                    this, [this, progress] { ShowProgress(progress); }, Qt::QueuedConnection);
            });
        QMetaObject::invokeMethod(
            this, [this, result] { ExportDone(result); }, Qt::QueuedConnection);
    });
    UpdateControls();
}

void TFexportaudio::ShowProgress(const ExportProgress& progress) {
    if (!Running())
        return;
    progress_->setValue(static_cast<int>(progress.fraction * 1000));
    QString text = S("已导出 %1%").arg(static_cast<int>(progress.fraction * 100));
    if (progress.remainingSeconds >= 0)
        text += S("，剩余约 %1").arg(DurationText(progress.remainingSeconds));
    progressText_->setText(text);
}

void TFexportaudio::ExportDone(const ExportResult& result) {
    if (worker_.joinable())
        worker_.join();
    speech_.reset();
    lastResult_ = result;
    UpdateControls();
    if (result.ok) {
        progress_->setValue(1000);
        QString text =
            S("已导出 %1（%2）")
                .arg(QFileInfo(FileName()).fileName(), DurationText(result.audioSeconds));
        if (!result.unplayableMusic.empty())
            text += S("；%1 个音乐文件无法播放，已跳过").arg(result.unplayableMusic.size());
        progressText_->setText(text);
    } else if (result.cancelled) {
        progress_->setValue(0);
        progressText_->setText(QString::fromStdString(result.message));
    } else {
        progress_->setValue(0);
        progressText_->setText(S("导出失败"));
        report_(S("导出失败：%1").arg(QString::fromStdString(result.message)));
    }
    Q_EMIT Finished(result.ok);
}

void TFexportaudio::StopWorker() {
    if (!worker_.joinable())
        return;
    cancelRequested_ = true;
    worker_.join();
    speech_.reset();
}

void TFexportaudio::btn_cancelClick() {
    if (Running()) {
        // The worker stops at its next piece; its report then ends the
        // export here.
        cancelRequested_ = true;
        progressText_->setText(S("正在取消…"));
        return;
    }
    hide();
}

void TFexportaudio::reject() {
    btn_cancelClick();
}

void TFexportaudio::closeEvent(QCloseEvent* event) {
    if (Running()) {
        cancelRequested_ = true;
        progressText_->setText(S("正在取消…"));
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace sonvela
