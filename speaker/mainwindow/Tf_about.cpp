#include "Tf_about.h"

#include "LinkLabel.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <filesystem>

namespace sonvela {
namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

QUrl Tf_about::HomePage() {
    return QUrl(QStringLiteral("https://sonvela.example.org/"));
}

QUrl Tf_about::ContactMail() {
    return QUrl(QStringLiteral("mailto:contact@sonvela.example.org"));
}

Tf_about::Tf_about(AboutServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("f_about"));
    setWindowTitle(QStringLiteral("Sonvela"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 18, 24, 12);
    column->setSpacing(10);
    QLabel* label1 = Label("Label1", S("Sonvela(普及版) V2.9"), this);
    QFont title = label1->font();
    title.setPointSize(title.pointSize() + 6);
    title.setBold(true);
    label1->setFont(title);
    column->addWidget(label1);

    QLabel* label7 = Label("Label7", S("Sonvela主页"), this);
    MakeLinkLabel(label7, [this] { services_.openLink(HomePage()); });
    column->addWidget(label7);
    QLabel* label8 = Label("Label8", S("声音效果 ( 男女音 )"), this);
    MakeLinkLabel(label8, [this] { Label8Click(); });
    column->addWidget(label8);

    auto* contact = new QHBoxLayout;
    contact->setSpacing(0);
    contact->addWidget(Label("Label2", S("业务联系："), this));
    QLabel* label6 = Label("Label6", ContactMail().path(), this);
    MakeLinkLabel(label6, [this] { services_.openLink(ContactMail()); });
    contact->addWidget(label6);
    contact->addStretch();
    column->addLayout(contact);
    column->addWidget(Label("Label11", S("如果达不到上面声音效果，请到主页查看技术支持"), this));

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    column->addWidget(rule);

    // Taken once, as the box is created: showing it later does not refresh.
    const MemoryStatus memory = services_.memory();
    auto* figures = new QGridLayout;
    figures->setColumnStretch(0, 1);
    figures->addWidget(Label("Label3", S("物理内存:"), this), 0, 1);
    figures->addWidget(
        Label("PhysMem", QString::fromStdString(FormatPhysMem(memory.totalBytes)), this), 0, 2,
        Qt::AlignRight);
    figures->addWidget(Label("Label4", S("使用内存:"), this), 1, 1);
    figures->addWidget(
        Label("FreeRes", QString::fromStdString(FormatMemoryLoad(memory.loadPercent)), this), 1, 2,
        Qt::AlignRight);
    column->addLayout(figures);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

Tf_about::~Tf_about() = default;

void Tf_about::Label8Click() {
    const std::string path = services_.programFolder + "introduce.mp3";
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return;
    }
    MusicLibrary& library = *services_.library;
    if (StreamExists(introduction_)) {
        library.StreamFree(introduction_);
    }
    introduction_ = library.StreamCreateFile(path);
    if (StreamExists(introduction_)) {
        library.ChannelPlay(introduction_);
    }
}

} // namespace sonvela
