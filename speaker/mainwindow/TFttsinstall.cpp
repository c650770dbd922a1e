#include "TFttsinstall.h"

#include "FunctionUnit.h"
#include "LinkLabel.h"
#include "SettingsKeys.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <stdexcept>

namespace sonvela {
namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The recording carried inside the program under its resource name.
std::string ResourceBytes(const char* resource) {
    QFile file(QStringLiteral(":/file/") + QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error(std::string("资源 ") + resource + " 不存在");
    }
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

QUrl TFttsinstall::VoiceDownloadPage() {
    return QUrl(QStringLiteral("https://sonvela.example.org/voices/"));
}

QUrl TFttsinstall::SupportPage() {
    return QUrl(QStringLiteral("https://sonvela.example.org/support/"));
}

TFttsinstall::TFttsinstall(VoiceNoticeServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), samples_(*services_.library) {
    setObjectName(QStringLiteral("Fttsinstall"));
    setWindowTitle(S("使用须知"));
    // Close box only, above other windows.
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Build();
    // The status labels are read as the window is created: a voice
    // installed later shows in the next notice only.
    const auto& voices = KnownVoices();
    for (const KnownVoice& voice : voices) {
        auto* status = findChild<QLabel*>(QString::fromLatin1(voice.statusName));
        status->setText(VoiceInstalled(voice.keyName, services_.voices) ? S("是") : S("否"));
    }
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TFttsinstall::~TFttsinstall() {
    samples_.Stop();
}

void TFttsinstall::Build() {
    auto* column = new QVBoxLayout(this);

    auto* group1 = Named(new QGroupBox(this), "GroupBox1");
    auto* lines = new QVBoxLayout(group1);
    lines->addWidget(Named(new QLabel(S("感谢您使用 Sonvela 语音播报软件！"), group1), "Label11"));
    lines->addWidget(
        Named(new QLabel(S("       本软件不自带语音库，如果需要文本朗读，请安装相关"), group1),
              "Label3"));
    lines->addWidget(Named(
        new QLabel(S("语音库。以下几个是效果较好的中文语音库，请下载安装。"), group1), "Label4"));
    lines->addWidget(
        Named(new QLabel(S("如果软件出现 \" 没有注册类 \" 错误，没有语音库选项，请到"), group1),
              "Label7"));
    lines->addWidget(Named(
        new QLabel(S("官网技术支持最下面下载修复程序，退出杀毒软件后修复。"), group1), "Label14"));
    column->addWidget(group1);

    auto* group2 = Named(new QGroupBox(this), "GroupBox2");
    auto* rows = new QGridLayout(group2);
    const auto& voices = KnownVoices();
    for (std::size_t i = 0; i < voices.size(); ++i) {
        const KnownVoice& voice = voices[i];
        const int row = static_cast<int>(i);
        rows->addWidget(Named(new QLabel(S(voice.caption), group2), voice.rowLabel), row, 0);
        auto* status = Named(new QLabel(group2), voice.statusName);
        status->setMinimumWidth(24);
        rows->addWidget(status, row, 1);
        auto* button = Named(new QPushButton(S("试听"), group2), voice.buttonName);
        button->setToolTip(S("试听效果"));
        connect(button, &QPushButton::clicked, this, [this, i] { SampleClick(i); });
        rows->addWidget(button, row, 2);
    }
    column->addWidget(group2);

    auto* options = new QHBoxLayout;
    checkBox5_ = Named(new QCheckBox(S("下次运行时不显示本画面"), this), "CheckBox5");
    options->addWidget(checkBox5_);
    options->addStretch();
    sbStop_ = Named(new QPushButton(S("停止"), this), "sb_stop");
    sbStop_->setVisible(false);
    connect(sbStop_, &QPushButton::clicked, this, &TFttsinstall::sb_stopClick);
    options->addWidget(sbStop_);
    column->addLayout(options);

    auto* links = new QHBoxLayout;
    QLabel* label1 = Named(new QLabel(S("语音库下载地址1"), this), "Label1");
    QLabel* label6 = Named(new QLabel(S("语音库下载地址2"), this), "Label6");
    MakeLinkLabel(label1, [this] { services_.openLink(VoiceDownloadPage()); });
    MakeLinkLabel(label6, [this] { services_.openLink(SupportPage()); });
    links->addWidget(label1);
    links->addStretch();
    links->addWidget(label6);
    column->addLayout(links);
}

void TFttsinstall::SampleClick(std::size_t row) {
    const KnownVoice& voice = KnownVoices().at(row);
    RunCommand([&] {
        const std::string path = EnsureSampleCopy(services_.tempFolder(), voice.sampleFile,
                                                  [&] { return ResourceBytes(voice.resource); });
        samples_.Play(path);
        sbStop_->setVisible(true);
    });
}

void TFttsinstall::sb_stopClick() {
    samples_.Stop();
}

void TFttsinstall::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        namespace sys = settings::System;
        checkBox5_->setChecked(
            services_.settings.ReadBool(sys::kSection, sys::Tts_information, false));
    }
}

void TFttsinstall::reject() {
    // The close box (through QDialog's close handling) and Esc both end
    // here; the window is hidden, not destroyed.
    samples_.Stop();
    RunCommand([&] {
        namespace sys = settings::System;
        services_.settings.WriteBool(sys::kSection, sys::Tts_information, checkBox5_->isChecked());
    });
    QDialog::reject();
}

} // namespace sonvela
