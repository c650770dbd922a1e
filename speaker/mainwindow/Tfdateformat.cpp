#include "Tfdateformat.h"

#include "GbkText.h"
#include "ReadingState.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace sonvela {

namespace {

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Formatted(int type, const LocalDateTime& moment) {
    const auto text = FormatDateTime(type, moment);
    return text ? QString::fromStdString(GbkToUtf8(*text)) : QString();
}

bool IsFormatType(int type) {
    return type >= 1 && type <= 8;
}

} // namespace

Tfdateformat::Tfdateformat(ReadingState& state, const SettingsFile& settings, LocalClock clock,
                           std::function<void()> insert, QWidget* parent)
    : QDialog(parent), state_(state), settings_(settings), clock_(std::move(clock)),
      insert_(std::move(insert)) {
    setObjectName(QStringLiteral("fdateformat"));
    setWindowTitle(S("选择动态日期时间格式"));
    // Only a close box, on top of every window, and never modal.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    const QString blue = QStringLiteral("color: blue;");
    auto* label1 = new QLabel(S("输入%Date%系统会读出当前时间"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setStyleSheet(blue);
    layout->addWidget(label1);
    label2_ = new QLabel(S("默认格式是："), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setStyleSheet(blue);
    layout->addWidget(label2_);

    auto* group = new QGroupBox(S("选择日期格式"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* radios = new QVBoxLayout(group);
    for (int type = 1; type <= 8; ++type) {
        auto* radio = new QRadioButton(group);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(type));
        // A click makes its type the current one at once.
        connect(radio, &QRadioButton::clicked, this, [this, type] { state_.datetimetype = type; });
        radios->addWidget(radio);
        radios_[type - 1] = radio;
    }
    radios_[0]->setChecked(true);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    auto* makeDefault = new QPushButton(S("设为默认"), this);
    makeDefault->setObjectName(QStringLiteral("SpeedButton2"));
    connect(makeDefault, &QPushButton::clicked, this, &Tfdateformat::SpeedButton2Click);
    auto* insertButton = new QPushButton(S("&I.插       入"), this);
    insertButton->setObjectName(QStringLiteral("BitBtn1"));
    connect(insertButton, &QPushButton::clicked, this, [this] { insert_(); });
    auto* exitButton = new QPushButton(S("&E.退       出"), this);
    exitButton->setObjectName(QStringLiteral("BitBtn2"));
    connect(exitButton, &QPushButton::clicked, this, &QDialog::close);
    for (QPushButton* button : {makeDefault, insertButton, exitButton}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    // Sized for the longest captions (type 8 with a full weekday), then fixed.
    RefreshCaptions();
    readdefault();
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tfdateformat::ShowAt(const QPoint& topLeft) {
    move(topLeft);
    show();
    raise();
    activateWindow();
}

void Tfdateformat::RefreshCaptions() {
    const LocalDateTime now = clock_();
    for (int type = 1; type <= 8; ++type)
        radios_[type - 1]->setText(Formatted(type, now));
    const int current = state_.datetimetype;
    // A current type outside 1-8 (a hand-edited file) leaves the checks.
    if (IsFormatType(current))
        radios_[current - 1]->setChecked(true);
}

void Tfdateformat::readdefault() {
    namespace key = settings::Speaker;
    const int stored =
        settings_.ReadInteger(key::kSection, key::Datetimetype, key::kDatetimetypeDefault);
    if (IsFormatType(stored))
        label2_->setText(S("默认格式是：") + Formatted(stored, clock_()));
}

int Tfdateformat::CheckedType() const {
    for (int type = 1; type <= 8; ++type)
        if (radios_[type - 1]->isChecked())
            return type;
    return 1;
}

void Tfdateformat::TakeCheckedType() {
    state_.datetimetype = CheckedType();
}

void Tfdateformat::SpeedButton2Click() {
    namespace key = settings::Speaker;
    TakeCheckedType();
    settings_.WriteInteger(key::kSection, key::Datetimetype, CheckedType());
    readdefault();
}

void Tfdateformat::showEvent(QShowEvent* event) {
    // Captions show the time of this showing, not of the first one.
    if (!event->spontaneous())
        RefreshCaptions();
    QDialog::showEvent(event);
    if (!event->spontaneous())
        readdefault();
}

void Tfdateformat::closeEvent(QCloseEvent* event) {
    TakeCheckedType();
    QDialog::closeEvent(event);
}

} // namespace sonvela
