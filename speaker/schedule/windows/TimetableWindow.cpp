#include "TimetableWindow.h"

#include "AnnouncementLogDialog.h"
#include "DialogSupport.h"
#include "FunctionUnit.h"
#include "TimetableEntryDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace sonvela {

using dialogs::Named;
using dialogs::S;

namespace {

const QColor kSkippedColor(0xC0, 0x00, 0x00);
const QColor kDisabledColor(0x80, 0x80, 0x80);

QTableWidgetItem* Cell(const std::string& utf8, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(QString::fromStdString(utf8));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(align | Qt::AlignVCenter);
    return item;
}

QTime NextFullHour() {
    const QTime now = QTime::currentTime();
    return QTime((now.hour() + 1) % 24, 0);
}

} // namespace

TimetableWindow::TimetableWindow(TimetableWindowContext context, QWidget* parent)
    : QDialog(parent), c_(std::move(context)) {
    setObjectName(QStringLiteral("TimetableWindow"));
    setWindowTitle(S("播报时间表"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);

    grid_ = Named(new QTableWidget(0, ColumnCount, this), "TimetableGrid");
    grid_->setHorizontalHeaderLabels(
        {S("启用"), S("时间"), S("星期"), S("播报内容"), S("遍数"), S("间隔"), S("语音")});
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(24);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setWordWrap(false);
    QHeaderView* header = grid_->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    const int widths[ColumnCount] = {46, 78, 170, 230, 58, 62, 200};
    for (int column = 0; column < ColumnCount; ++column)
        grid_->setColumnWidth(column, widths[column]);
    header->setSectionResizeMode(Source, QHeaderView::Stretch);
    connect(grid_, &QTableWidget::cellChanged, this, &TimetableWindow::EnabledTicked);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column != Enabled)
            EditClick();
    });

    // The keys a list of a desktop program answers to: Enter edits the
    // selected entry, Delete deletes it (after the question).
    grid_->installEventFilter(this);

    auto* hint = Named(new QLabel(S("双击一行可修改。标红的条目到时将被跳过：它的文稿已被删除，"
                                    "或声音文件已不在原处。"),
                                  this),
                       "TimetableHint");
    hint->setStyleSheet(QStringLiteral("color: #606060;"));

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const char* caption,
                            void (TimetableWindow::*click)()) {
        auto* b = Named(new QPushButton(S(caption), this), name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, click);
        buttons->addWidget(b);
        return b;
    };
    button("TimetableAdd", "新增", &TimetableWindow::AddClick);
    button("TimetableEdit", "修改", &TimetableWindow::EditClick);
    button("TimetableCopy", "复制", &TimetableWindow::CopyClick);
    button("TimetableDelete", "删除", &TimetableWindow::DeleteClick);
    buttons->addSpacing(16);
    button("TimetableEnableAll", "全部启用", &TimetableWindow::EnableAllClick);
    button("TimetableDisableAll", "全部停用", &TimetableWindow::DisableAllClick);
    buttons->addSpacing(16);
    button("TimetableLog", "查看日志", &TimetableWindow::LogClick);
    buttons->addStretch();
    auto* close = Named(new QPushButton(S("关闭"), this), "TimetableClose");
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    resize(900, 440);
    Reload();
}

void TimetableWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Reload();
}

bool TimetableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                EditClick();
                return true;
            case Qt::Key_Delete:
                DeleteClick();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

EntryLookups TimetableWindow::Lookups() const {
    return {[this](std::int64_t id) { return DraftName(drafts_, id); },
            [this](const std::string& fileName) {
                if (c_.fileExists)
                    return c_.fileExists(fileName);
                std::error_code error;
                return std::filesystem::is_regular_file(fileName, error);
            },
            [this](const std::string& voice) -> std::optional<std::string> {
                for (const VoiceInfo& info : voices_)
                    if (info.id == voice)
                        return info.description;
                return std::nullopt;
            }};
}

void TimetableWindow::Reload() {
    std::vector<TimetableRow> rows;
    drafts_.clear();
    if (c_.store && !RunCommand([&] {
            rows = TimetableTable(*c_.store).Rows();
            drafts_ = DraftTitles(*c_.store);
        }))
        rows.clear();
    voices_ = c_.voices ? c_.voices() : std::vector<VoiceInfo>{};

    const std::int64_t selected = grid_->currentRow() >= 0 && !grid_->selectedItems().isEmpty()
                                      ? ids_[static_cast<std::size_t>(grid_->currentRow())]
                                      : 0;
    filling_ = true;
    grid_->setRowCount(0);
    grid_->setRowCount(static_cast<int>(rows.size()));
    const EntryLookups lookups = Lookups();
    for (std::size_t i = 0; i < rows.size(); ++i)
        FillRow(static_cast<int>(i), rows[i], lookups);
    filling_ = false;
    entries_ = std::move(rows);
    ids_.clear();
    for (const TimetableRow& entry : entries_)
        ids_.push_back(entry.id);
    if (selected != 0)
        SelectEntry(selected);
}

void TimetableWindow::FillRow(int row, const TimetableRow& entry, const EntryLookups& lookups) {
    const EntryListing line = ListEntry(entry, lookups);
    auto* tick = new QTableWidgetItem;
    tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    tick->setCheckState(entry.enabled ? Qt::Checked : Qt::Unchecked);
    tick->setToolTip(S("勾选后到时播报"));
    grid_->setItem(row, Enabled, tick);
    grid_->setItem(row, Time, Cell(line.time));
    grid_->setItem(row, Days, Cell(line.days));
    auto* source = Cell(line.source);
    grid_->setItem(row, Source, source);
    grid_->setItem(row, Passes, Cell(line.passes, Qt::AlignRight));
    grid_->setItem(row, Interval, Cell(line.interval, Qt::AlignRight));
    grid_->setItem(row, Voice, Cell(line.voice));
    if (!entry.draftId)
        source->setToolTip(QString::fromStdString(entry.fileName));
    if (!line.problem.empty()) {
        source->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
        source->setToolTip(QString::fromStdString(line.problem));
    }
    PaintRow(row, entry.enabled);
}

void TimetableWindow::PaintRow(int row, bool enabled) {
    for (int column = Time; column < ColumnCount; ++column) {
        QTableWidgetItem* item = grid_->item(row, column);
        // A skipped entry's mark stays red whether it is on or off.
        const bool skipped = column == Source && !item->icon().isNull();
        item->setForeground(skipped   ? kSkippedColor
                            : enabled ? palette().color(QPalette::Text)
                                      : kDisabledColor);
    }
}

void TimetableWindow::SelectEntry(std::int64_t id) {
    const auto found = std::find(ids_.begin(), ids_.end(), id);
    if (found != ids_.end())
        grid_->selectRow(static_cast<int>(found - ids_.begin()));
}

std::optional<TimetableRow> TimetableWindow::SelectedEntry(const char* action) const {
    const int row = grid_->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size()) || grid_->selectedItems().isEmpty()) {
        InfoBox(std::string("请先在表中选中要") + action + "的定时播报!");
        return std::nullopt;
    }
    return entries_[static_cast<std::size_t>(row)];
}

std::optional<TimetableRow> TimetableWindow::Edit(const QString& caption,
                                                  const TimetableRow& entry) {
    if (c_.editEntry)
        return c_.editEntry(caption, entry);
    EntryDialogChoices choices{drafts_, voices_, c_.chooseSoundFile, Lookups().fileExists};
    TimetableEntryDialog dialog(caption, entry, std::move(choices), this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Entry();
}

template <typename Change> void TimetableWindow::Store(Change&& change, std::int64_t select) {
    std::int64_t changed = select;
    if (!RunCommand([&] { changed = change(); }))
        return;
    Reload();
    SelectEntry(changed);
    Q_EMIT timetableChanged();
}

void TimetableWindow::AddClick() {
    if (!c_.store)
        return;
    TimetableRow entry;
    entry.stime =
        (c_.now ? c_.now() : NextFullHour()).toString(QStringLiteral("HH:mm:ss")).toStdString();
    if (!drafts_.empty())
        entry.draftId = drafts_.front().id;
    if (const auto added = Edit(S("新增定时播报"), entry))
        Store([&] { return TimetableTable(*c_.store).Add(*added); }, 0);
}

void TimetableWindow::EditClick() {
    const auto entry = SelectedEntry("修改");
    if (!entry)
        return;
    if (const auto changed = Edit(S("修改定时播报"), *entry)) {
        TimetableRow row = *changed;
        row.id = entry->id;
        Store(
            [&] {
                TimetableTable(*c_.store).Update(row);
                return row.id;
            },
            row.id);
    }
}

void TimetableWindow::CopyClick() {
    auto entry = SelectedEntry("复制");
    if (!entry)
        return;
    // The copy is opened in the editor first: an unchanged copy would only
    // announce the same words twice at the same second.
    entry->id = 0;
    if (const auto copy = Edit(S("复制定时播报"), *entry))
        Store([&] { return TimetableTable(*c_.store).Add(*copy); }, 0);
}

void TimetableWindow::DeleteClick() {
    const auto entry = SelectedEntry("删除");
    if (!entry)
        return;
    const std::string question = "真的要删除 " + entry->stime + " 的这条定时播报吗?";
    if (!ConfirmBox(question))
        return;
    const int row = grid_->currentRow();
    // The row that takes the deleted one's place stays selected, so several
    // entries can be deleted in a row.
    const std::size_t next = static_cast<std::size_t>(row) + 1 < ids_.size()
                                 ? static_cast<std::size_t>(row) + 1
                                 : static_cast<std::size_t>(std::max(row - 1, 0));
    const std::int64_t neighbour = ids_.size() > 1 ? ids_[next] : 0;
    Store(
        [&] {
            TimetableTable(*c_.store).Delete(entry->id);
            return neighbour;
        },
        neighbour);
}

void TimetableWindow::EnableAllClick() {
    SetAllEnabled(true);
}

void TimetableWindow::DisableAllClick() {
    SetAllEnabled(false);
}

void TimetableWindow::SetAllEnabled(bool enabled) {
    if (!c_.store)
        return;
    int changed = 0;
    if (!RunCommand([&] { changed = TimetableTable(*c_.store).EnableAll(enabled); }))
        return;
    Reload();
    if (changed > 0)
        Q_EMIT timetableChanged();
}

void TimetableWindow::EnabledTicked(int row, int column) {
    if (filling_ || column != Enabled || row < 0 || row >= static_cast<int>(entries_.size()))
        return;
    TimetableRow& entry = entries_[static_cast<std::size_t>(row)];
    const bool ticked = grid_->item(row, Enabled)->checkState() == Qt::Checked;
    if (ticked == entry.enabled)
        return;
    TimetableRow changed = entry;
    changed.enabled = ticked;
    filling_ = true;
    if (RunCommand([&] { TimetableTable(*c_.store).Update(changed); })) {
        entry.enabled = ticked;
        // The row is repainted, not rebuilt: the tick's item is the one
        // whose change is being handled.
        PaintRow(row, ticked);
        Q_EMIT timetableChanged();
    } else {
        grid_->item(row, Enabled)->setCheckState(entry.enabled ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void TimetableWindow::LogClick() {
    if (!log_)
        log_ = new AnnouncementLogDialog(c_.logFile, this);
    log_->Reload();
    log_->show();
    log_->raise();
    log_->activateWindow();
}

} // namespace sonvela
