#include "AnnouncementLogDialog.h"

#include "AnnouncementLog.h"
#include "DialogSupport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sonvela {

using dialogs::Named;
using dialogs::S;

namespace {

QTableWidgetItem* Cell(const std::string& utf8) {
    auto* item = new QTableWidgetItem(QString::fromStdString(utf8));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(item->text());
    return item;
}

} // namespace

AnnouncementLogDialog::AnnouncementLogDialog(std::filesystem::path logFile, QWidget* parent)
    : QDialog(parent), logFile_(std::move(logFile)) {
    setObjectName(QStringLiteral("AnnouncementLogDialog"));
    setWindowTitle(S("播报记录"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);

    grid_ = Named(new QTableWidget(0, 3, this), "LogGrid");
    grid_->setHorizontalHeaderLabels({S("时间"), S("播报内容"), S("结果")});
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(22);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setWordWrap(false);
    grid_->setAlternatingRowColors(true);
    grid_->setColumnWidth(0, 160);
    grid_->setColumnWidth(1, 300);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    empty_ =
        Named(new QLabel(S("还没有播报记录。定时播报每播放或跳过一条，这里就记下一行。"), this),
              "LogEmpty");
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setWordWrap(true);
    empty_->setMinimumHeight(120);

    auto* refresh = Named(new QPushButton(S("刷新"), this), "LogRefresh");
    auto* close = Named(new QPushButton(S("关闭"), this), "LogClose");
    close->setDefault(true);
    connect(refresh, &QPushButton::clicked, this, &AnnouncementLogDialog::Reload);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(refresh);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addWidget(empty_, 1);
    layout->addLayout(buttons);
    resize(680, 420);
    Reload();
}

void AnnouncementLogDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Announcements go on while the window is closed: each showing reads
    // the log afresh.
    if (!event->spontaneous())
        Reload();
}

void AnnouncementLogDialog::Reload() {
    const auto records = AnnouncementLog(logFile_).Recent(kShownLines);
    grid_->setRowCount(0);
    grid_->setRowCount(static_cast<int>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int row = static_cast<int>(i);
        grid_->setItem(row, 0, Cell(records[i].when));
        grid_->setItem(row, 1, Cell(records[i].what));
        grid_->setItem(row, 2, Cell(records[i].outcome));
    }
    grid_->setVisible(!records.empty());
    empty_->setVisible(records.empty());
}

} // namespace sonvela
