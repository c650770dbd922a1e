#include "PronunciationPage.h"

#include "DialogSupport.h"
#include "FunctionUnit.h"
#include "PronunciationTable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sonvela {

using dialogs::Named;
using dialogs::S;

namespace {

QTableWidgetItem* ReadOnlyItem(const std::string& utf8) {
    auto* item = new QTableWidgetItem(QString::fromStdString(utf8));
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

std::string Trimmed(const QLineEdit* edit) {
    return edit->text().trimmed().toStdString();
}

} // namespace

PronunciationPage::PronunciationPage(PronunciationPageContext context, QWidget* parent)
    : QWidget(parent), c_(std::move(context)) {
    setObjectName(QStringLiteral("TabSheet5"));
    grid_ = Named(new QTableWidget(this), "PronunciationGrid");
    grid_->setColumnCount(2);
    grid_->setHorizontalHeaderLabels({S("词语"), S("读音")});
    grid_->setColumnWidth(0, 140);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->verticalHeader()->hide();
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(grid_, &QTableWidget::itemSelectionChanged, this, &PronunciationPage::RowSelected);

    word_ = Named(new QLineEdit(this), "EditWord");
    reading_ = Named(new QLineEdit(this), "EditReading");
    reading_->setPlaceholderText(S("如 chong2 qing4，或替换文字"));
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(S("词语"), this), 0, 0);
    fields->addWidget(word_, 0, 1);
    fields->addWidget(new QLabel(S("读音"), this), 1, 0);
    fields->addWidget(reading_, 1, 1);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const char* caption,
                            void (PronunciationPage::*click)()) {
        auto* b = Named(new QPushButton(S(caption), this), name);
        connect(b, &QPushButton::clicked, this, click);
        buttons->addWidget(b);
    };
    button("BtnAdd", "新增", &PronunciationPage::AddClick);
    button("BtnChange", "修改", &PronunciationPage::ChangeClick);
    button("BtnDelete", "删除", &PronunciationPage::DeleteClick);
    buttons->addStretch();
    button("BtnTry", "试听", &PronunciationPage::TryClick);

    auto* note = Named(new QLabel(S("注意：朗读时先按此表读词语。读音可写带声调数字的拼音"
                                    "（1-4 为四声，5 为轻声，如 chong2 qing4），"
                                    "也可写替换的文字。"),
                                  this),
                       "LabelPronunciation");
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: blue;"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(note);
    Reload();
}

void PronunciationPage::Reload() {
    std::vector<PronunciationRow> rows;
    if (c_.store && !RunCommand([&] { rows = PronunciationTable(*c_.store).Rows(); }))
        rows.clear();
    grid_->setRowCount(0);
    grid_->setRowCount(static_cast<int>(rows.size()));
    ids_.clear();
    entries_.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        grid_->setItem(row, 0, ReadOnlyItem(rows[i].word));
        grid_->setItem(row, 1, ReadOnlyItem(rows[i].reading));
        ids_.push_back(rows[i].id);
        entries_.push_back({rows[i].word, rows[i].reading});
    }
}

void PronunciationPage::Publish() {
    Reload();
    if (c_.listChanged)
        c_.listChanged(frontend::PronunciationList(entries_));
}

bool PronunciationPage::TakeFields(std::string& word, std::string& reading) const {
    word = Trimmed(word_);
    reading = Trimmed(reading_);
    if (word.empty()) {
        InfoBox("请输入词语!");
        return false;
    }
    if (reading.empty()) {
        InfoBox("请输入读音!");
        return false;
    }
    return true;
}

std::int64_t PronunciationPage::SelectedId() const {
    const int row = grid_->currentRow();
    return row >= 0 && row < static_cast<int>(ids_.size()) && grid_->item(row, 0)->isSelected()
               ? ids_[static_cast<std::size_t>(row)]
               : 0;
}

bool PronunciationPage::WordListedElsewhere(const std::string& word, std::int64_t id) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].word == word && ids_[i] != id)
            return true;
    return false;
}

void PronunciationPage::RowSelected() {
    const int row = grid_->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size()))
        return;
    word_->setText(QString::fromStdString(entries_[static_cast<std::size_t>(row)].word));
    reading_->setText(QString::fromStdString(entries_[static_cast<std::size_t>(row)].reading));
}

void PronunciationPage::AddClick() {
    std::string word, reading;
    if (!c_.store || !TakeFields(word, reading))
        return;
    if (WordListedElsewhere(word, 0)) {
        InfoBox("该词语已在表中，请选中后修改!");
        return;
    }
    if (RunCommand([&] { PronunciationTable(*c_.store).Add(word, reading); }))
        Publish();
}

void PronunciationPage::ChangeClick() {
    const std::int64_t id = SelectedId();
    if (id == 0) {
        InfoBox("请先在表中选中要修改的词语!");
        return;
    }
    std::string word, reading;
    if (!TakeFields(word, reading))
        return;
    if (WordListedElsewhere(word, id)) {
        InfoBox("该词语已在表中，请选中后修改!");
        return;
    }
    if (RunCommand([&] { PronunciationTable(*c_.store).Update(id, word, reading); }))
        Publish();
}

void PronunciationPage::DeleteClick() {
    const std::int64_t id = SelectedId();
    if (id == 0) {
        InfoBox("请先在表中选中要删除的词语!");
        return;
    }
    if (!ConfirmBox("真的要删除这条记录吗?"))
        return;
    if (RunCommand([&] { PronunciationTable(*c_.store).Delete(id); })) {
        word_->clear();
        reading_->clear();
        Publish();
    }
}

void PronunciationPage::TryClick() {
    const std::string word = Trimmed(word_);
    if (word.empty()) {
        InfoBox("请输入词语!");
        return;
    }
    if (c_.trySpeaking)
        RunCommand([&] { c_.trySpeaking(word, Trimmed(reading_)); });
}

} // namespace sonvela
