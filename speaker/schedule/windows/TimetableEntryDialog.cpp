#include "TimetableEntryDialog.h"

#include "DialogSupport.h"
#include "FunctionUnit.h"
#include "TimetableText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace sonvela {

using dialogs::Named;
using dialogs::S;

namespace {

constexpr const char* kTimeFormat = "HH:mm:ss";

std::optional<QString> AskForSoundFile(QWidget* parent, const QString& start) {
    const QString chosen = QFileDialog::getOpenFileName(parent, S("选择声音文件"), start,
                                                        S("声音文件 (*.mp3 *.wav *.MP3 *.WAV)"));
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

} // namespace

TimetableEntryDialog::TimetableEntryDialog(const QString& caption, const TimetableRow& entry,
                                           EntryDialogChoices choices, QWidget* parent)
    : QDialog(parent), choices_(std::move(choices)), id_(entry.id) {
    setObjectName(QStringLiteral("TimetableEntryDialog"));
    dialogs::MakeFixedDialog(this, caption, false);
    setModal(true);

    time_ = Named(new QTimeEdit(this), "EntryTime");
    time_->setDisplayFormat(QString::fromLatin1(kTimeFormat));
    passes_ = Named(new QSpinBox(this), "EntryPasses");
    passes_->setRange(1, kMostPasses);
    passes_->setSuffix(S(" 遍"));
    interval_ = Named(new QSpinBox(this), "EntryInterval");
    interval_->setRange(0, kLongestInterval);
    interval_->setSuffix(S(" 秒"));
    // The interval is the silence between passes: with one pass it has no
    // meaning, and an enabled box would suggest otherwise.
    connect(passes_, &QSpinBox::valueChanged, this,
            [this](int passes) { interval_->setEnabled(passes > 1); });
    voiceList_ = Named(new QComboBox(this), "EntryVoice");
    voiceList_->addItem(S("主窗口的语音"), QString());
    for (const VoiceInfo& voice : choices_.voices)
        voiceList_->addItem(QString::fromStdString(voice.description),
                            QString::fromStdString(voice.id));
    enabled_ = Named(new QCheckBox(S("启用"), this), "EntryEnabled");

    auto* repeat = new QHBoxLayout;
    repeat->addWidget(passes_);
    repeat->addSpacing(12);
    repeat->addWidget(new QLabel(S("每遍间隔"), this));
    repeat->addWidget(interval_);
    repeat->addStretch();

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(8);
    int row = 0;
    const auto add = [&](const char* label, QWidget* widget, Qt::Alignment align = {}) {
        fields->addWidget(new QLabel(S(label), this), row, 0, Qt::AlignTop | Qt::AlignLeft);
        fields->addWidget(widget, row++, 1, align);
    };
    add("播报时间", time_, Qt::AlignLeft);
    add("星期", BuildDays());
    add("播报内容", BuildSource());
    fields->addWidget(new QLabel(S("播放遍数"), this), row, 0);
    fields->addLayout(repeat, row++, 1);
    add("语音", voiceList_);
    fields->addWidget(enabled_, row++, 1);
    fields->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = Named(buttons->addButton(S("确定"), QDialogButtonBox::AcceptRole), "EntryOk");
    auto* cancel =
        Named(buttons->addButton(S("取消"), QDialogButtonBox::RejectRole), "EntryCancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TimetableEntryDialog::OkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowEntry(entry);
}

QWidget* TimetableEntryDialog::BuildDays() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    auto* boxes = new QHBoxLayout;
    static const char* const kNames[7] = {"一", "二", "三", "四", "五", "六", "日"};
    for (int day = 1; day <= 7; ++day) {
        auto* check = new QCheckBox(S(kNames[day - 1]), box);
        check->setObjectName(QStringLiteral("EntryDay%1").arg(day));
        days_[static_cast<std::size_t>(day - 1)] = check;
        boxes->addWidget(check);
    }
    boxes->addStretch();
    auto* shortcuts = new QHBoxLayout;
    const auto shortcut = [&](const char* name, const char* caption, int days) {
        auto* button = Named(new QPushButton(S(caption), box), name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, days] { SetDays(days); });
        shortcuts->addWidget(button);
    };
    shortcut("EntryEveryDay", "每天", kEveryDay);
    shortcut("EntryWeekdays", "工作日", kWeekdays);
    shortcut("EntryWeekend", "周末", DayBit(6) | DayBit(7));
    shortcuts->addStretch();
    column->addLayout(boxes);
    column->addLayout(shortcuts);
    return box;
}

QWidget* TimetableEntryDialog::BuildSource() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    fromDraft_ = Named(new QRadioButton(S("文稿"), box), "EntryFromDraft");
    fromFile_ = Named(new QRadioButton(S("声音文件"), box), "EntryFromFile");
    auto* group = new QButtonGroup(box);
    group->addButton(fromDraft_);
    group->addButton(fromFile_);
    draftList_ = Named(new QComboBox(box), "EntryDraft");
    draftList_->setMinimumWidth(260);
    for (const DraftTitle& draft : choices_.drafts)
        draftList_->addItem(QString::fromStdString(draft.name), QVariant::fromValue(draft.id));
    file_ = Named(new QLineEdit(box), "EntryFile");
    file_->setPlaceholderText(S("MP3 或 WAV 文件"));
    auto* browse = Named(new QPushButton(S("浏览..."), box), "EntryBrowse");
    browse->setAutoDefault(false);
    browse_ = browse;
    connect(browse, &QPushButton::clicked, this, &TimetableEntryDialog::BrowseClick);
    connect(fromDraft_, &QRadioButton::toggled, this, &TimetableEntryDialog::SourceChosen);
    // Choosing a draft or typing a file name says which of the two is meant.
    connect(draftList_, &QComboBox::activated, this, [this] { fromDraft_->setChecked(true); });
    connect(file_, &QLineEdit::textEdited, this, [this] { fromFile_->setChecked(true); });

    grid->addWidget(fromDraft_, 0, 0);
    grid->addWidget(draftList_, 0, 1, 1, 2);
    grid->addWidget(fromFile_, 1, 0);
    grid->addWidget(file_, 1, 1);
    grid->addWidget(browse, 1, 2);
    grid->setColumnStretch(1, 1);
    return box;
}

void TimetableEntryDialog::ShowEntry(const TimetableRow& entry) {
    time_->setTime(
        QTime::fromString(QString::fromStdString(entry.stime), QString::fromLatin1(kTimeFormat)));
    SetDays(entry.days);
    if (entry.draftId) {
        fromDraft_->setChecked(true);
        const int index = draftList_->findData(QVariant::fromValue(*entry.draftId));
        draftList_->setCurrentIndex(index);
        // A draft deleted since: the list shows no draft until another is
        // chosen, and saving as it stands says so.
        if (index < 0)
            draftList_->setPlaceholderText(S("（原文稿已删除，请另选）"));
    } else if (!entry.fileName.empty()) {
        fromFile_->setChecked(true);
        file_->setText(QString::fromStdString(entry.fileName));
    } else {
        fromDraft_->setChecked(true);
    }
    SourceChosen();
    passes_->setValue(entry.passes);
    interval_->setValue(entry.intervalSeconds);
    interval_->setEnabled(entry.passes > 1);
    int voice = voiceList_->findData(QString::fromStdString(entry.voice));
    if (voice < 0) {
        // Kept under its stored name, so saving the entry does not lose it.
        voiceList_->addItem(S("%1（未安装）").arg(QString::fromStdString(entry.voice)),
                            QString::fromStdString(entry.voice));
        voice = voiceList_->count() - 1;
    }
    voiceList_->setCurrentIndex(voice);
    enabled_->setChecked(entry.enabled);
}

void TimetableEntryDialog::SourceChosen() {
    const bool draft = fromDraft_->isChecked();
    draftList_->setEnabled(draft);
    file_->setEnabled(!draft);
    browse_->setEnabled(!draft);
}

void TimetableEntryDialog::SetDays(int days) {
    for (int day = 1; day <= 7; ++day)
        DayBox(day)->setChecked((days & DayBit(day)) != 0);
}

TimetableRow TimetableEntryDialog::Entry() const {
    TimetableRow entry;
    entry.id = id_;
    entry.stime = time_->time().toString(QString::fromLatin1(kTimeFormat)).toStdString();
    entry.days = 0;
    for (int day = 1; day <= 7; ++day)
        if (DayBox(day)->isChecked())
            entry.days |= DayBit(day);
    if (fromDraft_->isChecked()) {
        if (draftList_->currentIndex() >= 0)
            entry.draftId = draftList_->currentData().toLongLong();
    } else {
        entry.fileName = file_->text().trimmed().toStdString();
    }
    entry.passes = passes_->value();
    entry.intervalSeconds = interval_->value();
    entry.voice = voiceList_->currentData().toString().toStdString();
    entry.enabled = enabled_->isChecked();
    return entry;
}

void TimetableEntryDialog::BrowseClick() {
    const QString start = file_->text().trimmed();
    const auto chosen =
        choices_.chooseSoundFile ? choices_.chooseSoundFile(start) : AskForSoundFile(this, start);
    if (!chosen)
        return;
    file_->setText(*chosen);
    fromFile_->setChecked(true);
}

void TimetableEntryDialog::OkClick() {
    const EntryLookups lookups{[this](std::int64_t id) { return DraftName(choices_.drafts, id); },
                               [this](const std::string& fileName) {
                                   return choices_.fileExists ? choices_.fileExists(fileName)
                                                              : true;
                               },
                               [](const std::string&) { return std::optional<std::string>(); }};
    if (const auto problem = EntryProblem(Entry(), lookups)) {
        InfoBox(*problem);
        return;
    }
    accept();
}

} // namespace sonvela
