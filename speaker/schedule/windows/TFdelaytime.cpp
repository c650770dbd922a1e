#include "TFdelaytime.h"

#include "DataModule.h"
#include "DialogSupport.h"
#include "FunctionUnit.h"
#include "ReadingState.h"
#include "SettingsFile.h"
#include "SettingsKeys.h"
#include "TimeAnnouncement.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace sonvela {

using dialogs::Named;
using dialogs::S;
namespace sys = settings::System;

namespace {

QString Utf8Of(const Dataset& rows, int recNo, std::string_view column) {
    return QString::fromStdString(ValueToUtf8(rows.ValueAt(recNo, column)));
}

QTableWidgetItem* ReadOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidgetItem* CheckItem(bool checked) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QTableWidget* Grid(const char* name,
                   const std::initializer_list<std::pair<const char*, int>>& columns,
                   QWidget* parent) {
    auto* grid = Named(new QTableWidget(parent), name);
    grid->setColumnCount(static_cast<int>(columns.size()));
    int index = 0;
    QStringList titles;
    for (const auto& [title, width] : columns) {
        titles << S(title);
        grid->setColumnWidth(index++, width);
    }
    grid->setHorizontalHeaderLabels(titles);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->verticalHeader()->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    return grid;
}

QToolButton* SaveButton(const char* name, QWidget* parent) {
    auto* button = Named(new QToolButton(parent), name);
    button->setToolTip(S("保存"));
    button->setText(S("保存"));
    button->setIcon(button->style()->standardIcon(QStyle::SP_DialogSaveButton));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

QLabel* BlueNote(const char* name, const QString& text, QWidget* parent) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("color: blue;"));
    return label;
}

} // namespace

TFdelaytime::TFdelaytime(SettingsDialogContext context, QWidget* parent)
    : QDialog(parent), c_(std::move(context)) {
    setObjectName(QStringLiteral("Fdelaytime"));
    dialogs::MakeFixedDialog(this, S("系统设置"), true);
    setModal(false);

    pages_ = Named(new QTabWidget(this), "PageControl1");
    pages_->addTab(BuildDelayPage(), S("停顿及延时设置"));
    pages_->addTab(BuildHotKeyPage(), S("快捷键设置"));
    pages_->addTab(BuildSchedulePage(), S("整点报时"));
    pronunciationPage_ = new PronunciationPage(c_.pronunciations);
    pages_->addTab(pronunciationPage_, S("读音"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(pages_);
    setFixedSize(480, 400);

    ReloadDelayGrid();
    ReloadSlotGrid();
    RebuildSchedule();
}

QWidget* TFdelaytime::BuildDelayPage() {
    auto* page = Named(new QWidget, "TabSheet1");
    delayGrid_ =
        Grid("DBGridEh2", {{"名称", 91}, {"符号", 30}, {"延时毫秒", 56}, {"停顿", 33}}, page);
    delayGrid_->setToolTip(S("点右键操作"));
    delayGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
    popupMenu1_ = Named(new QMenu(this), "PopupMenu1");
    QAction* n1 = popupMenu1_->addAction(S("&A.新增"));
    n1->setObjectName(QStringLiteral("N1"));
    QAction* d1 = popupMenu1_->addAction(S("&D.删除"));
    d1->setObjectName(QStringLiteral("D1"));
    connect(n1, &QAction::triggered, this, &TFdelaytime::N1Click);
    connect(d1, &QAction::triggered, this, &TFdelaytime::D1Click);
    connect(delayGrid_, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popupMenu1_->popup(delayGrid_->viewport()->mapToGlobal(at));
    });
    connect(delayGrid_, &QTableWidget::cellChanged, this, &TFdelaytime::DelayCellChanged);

    auto* label1 = BlueNote("Label1",
                            S("注意：句中出现表格中的符号，便会停顿。可以设置停顿毫秒数。符号"
                              "\"。\"没有在表格中会读\"点\"，在表格中则会停顿。"
                              "可在表格中点右键新增或删除。"),
                            page);
    auto* label6 = Named(new QLabel(S("\"※\" 符号延时毫秒数  "), page), "Label6");
    sDelay2_ = Named(new QSpinBox(page), "S_delay2");
    sDelay2_->setRange(sys::kDelay2Min, sys::kDelay2Max);
    sDelay2_->setValue(sys::kDelay2Default);
    auto* label11 =
        BlueNote("Label11", S("注意：句中出现该符号，便会延迟。1毫秒=1/1000秒。 "), page);
    QToolButton* save = SaveButton("BitBtn4", page);
    connect(save, &QToolButton::clicked, this, &TFdelaytime::BitBtn4Click);

    auto* side = new QVBoxLayout;
    side->addWidget(label1);
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(label6);
    delayRow->addWidget(sDelay2_);
    side->addLayout(delayRow);
    side->addWidget(label11);
    side->addStretch();
    side->addWidget(save, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(page);
    delayGrid_->setFixedWidth(91 + 30 + 56 + 33 + 22);
    layout->addWidget(delayGrid_);
    layout->addLayout(side);
    return page;
}

QWidget* TFdelaytime::BuildHotKeyPage() {
    auto* page = Named(new QWidget, "TabSheet3");
    chkf5_ = Named(new QCheckBox(S("是否设置F5  (播放或停止音乐)"), page), "chkf5");
    chkf7_ = Named(new QCheckBox(S("是否设置F7  (从最前面朗读)"), page), "chkf7");
    chkf9_ = Named(new QCheckBox(S("是否设置F9  (全文循环朗读)"), page), "chkf9");
    chkf11_ = Named(new QCheckBox(S("是否设置F11 (停止朗读)"), page), "chkf11");
    QToolButton* save = SaveButton("BitBtn3", page);
    connect(save, &QToolButton::clicked, this, &TFdelaytime::BitBtn3Click);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(40, 30, 40, 20);
    layout->setSpacing(16);
    for (QCheckBox* box : {chkf5_, chkf7_, chkf9_, chkf11_})
        layout->addWidget(box);
    layout->addStretch();
    layout->addWidget(save, 0, Qt::AlignRight);
    return page;
}

QWidget* TFdelaytime::BuildSchedulePage() {
    auto* page = Named(new QWidget, "TabSheet4");
    slotGrid_ =
        Grid("DBGridEh1", {{"No", 28}, {"时间", 68}, {"播放内容", 250}, {"是否播放", 60}}, page);
    connect(slotGrid_, &QTableWidget::cellChanged, this, &TFdelaytime::SlotCellChanged);
    auto* panel1 = Named(new QWidget(page), "Panel1");
    QToolButton* save = SaveButton("BitBtn5", panel1);
    connect(save, &QToolButton::clicked, this, &TFdelaytime::BitBtn5Click);
    auto* panelLayout = new QHBoxLayout(panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addStretch();
    panelLayout->addWidget(save);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(slotGrid_);
    layout->addWidget(panel1);
    return page;
}

void TFdelaytime::ReloadDelayGrid() {
    filling_ = true;
    delayGrid_->setRowCount(0);
    if (c_.store) {
        const Dataset& rows = c_.store->q_delaytime;
        delayGrid_->setRowCount(rows.RecordCount());
        for (int row = 0; row < rows.RecordCount(); ++row) {
            const int recNo = row + 1;
            delayGrid_->setItem(row, 0, new QTableWidgetItem(Utf8Of(rows, recNo, "name")));
            delayGrid_->setItem(row, 1, ReadOnlyItem(Utf8Of(rows, recNo, "descript")));
            auto* pause = new QTableWidgetItem;
            pause->setData(Qt::EditRole,
                           static_cast<int>(ValueToInteger(rows.ValueAt(recNo, "delaytime"), 0)));
            delayGrid_->setItem(row, 2, pause);
            delayGrid_->setItem(
                row, 3, CheckItem(ValueToInteger(rows.ValueAt(recNo, "candelete"), 0) != 0));
        }
    }
    filling_ = false;
}

void TFdelaytime::ReloadSlotGrid() {
    filling_ = true;
    slotGrid_->setRowCount(0);
    if (c_.store) {
        const Dataset& rows = c_.store->Q_telltime;
        slotGrid_->setRowCount(rows.RecordCount());
        for (int row = 0; row < rows.RecordCount(); ++row) {
            const int recNo = row + 1;
            slotGrid_->setItem(row, 0, ReadOnlyItem(Utf8Of(rows, recNo, "id")));
            slotGrid_->setItem(row, 1, ReadOnlyItem(Utf8Of(rows, recNo, "stime")));
            slotGrid_->setItem(row, 2, ReadOnlyItem(Utf8Of(rows, recNo, "text")));
            slotGrid_->setItem(row, 3,
                               CheckItem(ValueToInteger(rows.ValueAt(recNo, "isplay"), 0) != 0));
        }
    }
    filling_ = false;
}

void TFdelaytime::DelayCellChanged(int row, int column) {
    if (filling_ || !c_.store)
        return;
    QTableWidgetItem* item = delayGrid_->item(row, column);
    Dataset& rows = c_.store->q_delaytime;
    const bool posted = RunCommand([&] {
        rows.SetRecNo(row + 1);
        rows.Edit();
        if (column == 0)
            rows.SetUtf8("name", item->text().left(50).toStdString());
        else if (column == 2)
            rows.SetInteger("delaytime", item->data(Qt::EditRole).toInt());
        else if (column == 3)
            rows.SetBool("candelete", item->checkState() == Qt::Checked);
        rows.Post();
    });
    // A refused change shows the stored row again.
    if (!posted)
        ReloadDelayGrid();
}

void TFdelaytime::SlotCellChanged(int row, int column) {
    if (filling_ || !c_.store || column != 3)
        return;
    Dataset& rows = c_.store->Q_telltime;
    const bool posted = RunCommand([&] {
        rows.SetRecNo(row + 1);
        rows.Edit();
        rows.SetBool("isplay", slotGrid_->item(row, 3)->checkState() == Qt::Checked);
        rows.Post();
    });
    if (!posted)
        ReloadSlotGrid();
}

void TFdelaytime::RebuildSchedule() {
    if (c_.store && c_.schedule)
        RunCommand([&] { c_.schedule->Rebuild(c_.store->Q_telltime); });
}

void TFdelaytime::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        ReadSettings();
        ReloadDelayGrid();
        ReloadSlotGrid();
    }
}

void TFdelaytime::ReadSettings() {
    RunCommand([&] {
        const SettingsFile& file = *c_.settings;
        sDelay2_->setValue(file.ReadInteger(sys::kSection, sys::Delay2, sys::kDelay2Default));
        chkf5_->setChecked(file.ReadBool(sys::kSection, sys::F5, sys::kHotKeyDefault));
        chkf7_->setChecked(file.ReadBool(sys::kSection, sys::F7, sys::kHotKeyDefault));
        chkf9_->setChecked(file.ReadBool(sys::kSection, sys::F9, sys::kHotKeyDefault));
        chkf11_->setChecked(file.ReadBool(sys::kSection, sys::F11, sys::kHotKeyDefault));
    });
}

void TFdelaytime::CommitOpenEditor(QTableWidget* grid) {
    // An open cell editor is a child of the grid's viewport with the focus.
    QWidget* editor = QApplication::focusWidget();
    if (editor && grid->viewport()->isAncestorOf(editor)) {
        QAbstractItemDelegate* delegate = grid->itemDelegate();
        Q_EMIT delegate->commitData(editor);
        Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TFdelaytime::N1Click() {
    if (c_.showAddSymbol)
        c_.showAddSymbol();
}

void TFdelaytime::D1Click() {
    if (!c_.store || c_.store->q_delaytime.IsEmpty())
        return;
    const int row = delayGrid_->currentRow();
    if (!ConfirmBox("真的要删除这条记录吗?"))
        return;
    Dataset& rows = c_.store->q_delaytime;
    RunCommand([&] {
        // The grid's current record is the one deleted, whichever it is.
        rows.SetRecNo(row < 0 ? 1 : row + 1);
        rows.Delete();
    });
    ReloadDelayGrid();
}

void TFdelaytime::BitBtn4Click() {
    CommitOpenEditor(delayGrid_);
    sDelay2_->interpretText();
    const int pause = sDelay2_->value();
    RunCommand([&] {
        c_.settings->WriteInteger(sys::kSection, sys::Delay2, pause);
        if (c_.reading)
            c_.reading->signdelay = pause;
        if (c_.store && c_.reading) {
            c_.store->q_delaytime.First();
            std::vector<DelaySymbolRow> rows;
            for (const DelaySymbol& symbol : c_.store->DelaySymbols())
                rows.push_back({symbol.symbol, symbol.pauseMs, symbol.candelete});
            getdelaystring(*c_.reading, rows);
        }
        InfoBox("保存成功!");
    });
}

void TFdelaytime::BitBtn3Click() {
    RunCommand([&] {
        const SettingsFile& file = *c_.settings;
        file.WriteBool(sys::kSection, sys::F5, chkf5_->isChecked());
        file.WriteBool(sys::kSection, sys::F7, chkf7_->isChecked());
        file.WriteBool(sys::kSection, sys::F9, chkf9_->isChecked());
        file.WriteBool(sys::kSection, sys::F11, chkf11_->isChecked());
        InfoBox("设置已完成，需退出重新进入后才有效!");
    });
}

void TFdelaytime::BitBtn5Click() {
    CommitOpenEditor(slotGrid_);
    RebuildSchedule();
    InfoBox("保存成功!");
}

} // namespace sonvela
