#include "TFadddraft.h"

#include "AtomicFile.h"
#include "Dataset.h"
#include "EditorDialogs.h"
#include "FunctionUnit.h"
#include "GbkText.h"
#include "TextFileCodec.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace sonvela {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

enum Column { kId, kName, kOrder };

} // namespace

TFadddraft::TFadddraft(Dataset& drafts, EditorDialogs* dialogs, QWidget* parent)
    : QDialog(parent), drafts_(drafts), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TFadddraft"));
    setWindowTitle(QStringLiteral("文稿列表编辑"));
    setModal(true);
    resize(819, 597);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    grid_ = Named(new QTableWidget(0, 3, this), "DBGrid1");
    grid_->setHorizontalHeaderLabels(
        {QStringLiteral("id"), QStringLiteral("主题"), QStringLiteral("顺序号")});
    grid_->setToolTip(QStringLiteral("直接修改或点右键删除"));
    grid_->setColumnWidth(kId, 37);
    grid_->setColumnWidth(kName, 425);
    grid_->setColumnWidth(kOrder, 49);
    grid_->verticalHeader()->setDefaultSectionSize(22);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setMinimumWidth(540);
    grid_->installEventFilter(this);
    top->addWidget(grid_);

    auto* side = new QVBoxLayout;
    side->addWidget(Named(new QLabel(QStringLiteral("主题"), this), "Label1"));
    edit1_ = Named(new QLineEdit(QStringLiteral("主题内容"), this), "Edit1");
    side->addWidget(edit1_);
    auto* add = Named(new QPushButton(QStringLiteral("&A.增加记录"), this), "BitBtn1");
    auto* open = Named(new QPushButton(QStringLiteral("导入文件"), this), "btn_open1");
    btnSave_ = Named(new QPushButton(QStringLiteral("&S.保存稿件"), this), "btn_save");
    btnSave_->setToolTip(QStringLiteral("保存当前文件"));
    btnSave_->setEnabled(false);
    auto* close = Named(new QPushButton(QStringLiteral("退        出"), this), "Btn_close");
    close->setToolTip(QStringLiteral("关闭"));
    for (QPushButton* button : {add, open, btnSave_, close}) {
        button->setAutoDefault(false);
        side->addWidget(button);
    }
    side->addStretch();
    top->addLayout(side);
    layout->addLayout(top, 1);

    memo_ = Named(new QPlainTextEdit(this), "Memo1");
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(memo_, 1);

    popupMenu1_ = Named(new QMenu(this), "PopupMenu1");
    QAction* n1 = popupMenu1_->addAction(QStringLiteral("删除记录"));
    n1->setObjectName(QStringLiteral("N1"));
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QTableWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenu1_->popup(grid_->viewport()->mapToGlobal(at)); });

    connect(n1, &QAction::triggered, this, &TFadddraft::N1Click);
    connect(add, &QPushButton::clicked, this, &TFadddraft::BitBtn1Click);
    connect(open, &QPushButton::clicked, this, &TFadddraft::btn_open1Click);
    connect(btnSave_, &QPushButton::clicked, this, &TFadddraft::btn_saveClick);
    connect(close, &QPushButton::clicked, this, &TFadddraft::Btn_closeClick);
    connect(memo_, &QPlainTextEdit::textChanged, this, [this] { btnSave_->setEnabled(true); });
    connect(grid_, &QTableWidget::cellClicked, this, [this] { DBGridEh2CellClick(); });
    connect(grid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { GridCurrentChanged(row); });
    connect(grid_, &QTableWidget::itemChanged, this, &TFadddraft::GridItemChanged);

    drafts_.SetDataChangeHandler([this] { draftchanged_ = true; });
    RefreshGrid();
}

void TFadddraft::RefreshGrid() {
    filling_ = true;
    grid_->setRowCount(drafts_.RecordCount());
    for (int row = 0; row < drafts_.RecordCount(); ++row) {
        const int recNo = row + 1;
        auto* id =
            new QTableWidgetItem(QString::number(ValueToInteger(drafts_.ValueAt(recNo, "id"), 0)));
        id->setFlags(id->flags() & ~Qt::ItemIsEditable);
        grid_->setItem(row, kId, id);
        grid_->setItem(row, kName,
                       new QTableWidgetItem(FromUtf8(ValueToUtf8(drafts_.ValueAt(recNo, "name")))));
        const SqlValue& order = drafts_.ValueAt(recNo, "orderno");
        grid_->setItem(row, kOrder,
                       new QTableWidgetItem(IsNullValue(order)
                                                ? QString()
                                                : QString::number(ValueToInteger(order, 0))));
    }
    if (drafts_.RecNo() > 0)
        grid_->setCurrentCell(drafts_.RecNo() - 1, std::max(grid_->currentColumn(), int{kName}));
    filling_ = false;
}

void TFadddraft::GridCurrentChanged(int row) {
    if (filling_ || row < 0 || row + 1 == drafts_.RecNo())
        return;
    RunCommand([&] { drafts_.SetRecNo(row + 1); });
}

void TFadddraft::GridItemChanged(QTableWidgetItem* item) {
    if (filling_ || item->column() == kId)
        return;
    const int recNo = item->row() + 1;
    const bool posted = RunCommand([&] {
        drafts_.SetRecNo(recNo);
        drafts_.Edit();
        if (item->column() == kName) {
            drafts_.SetUtf8("name", item->text().toStdString());
        } else {
            bool number = false;
            const qlonglong value = item->text().trimmed().toLongLong(&number);
            if (number)
                drafts_.SetInteger("orderno", value);
            else if (item->text().trimmed().isEmpty())
                drafts_.SetNull("orderno");
            else
                throw std::runtime_error("顺序号必须是整数");
        }
        drafts_.Post();
    });
    if (!posted) {
        drafts_.Cancel();
        RefreshGrid();
    }
}

void TFadddraft::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, not over the main window.
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - rect().center());
    FormShow();
}

void TFadddraft::FormShow() {
    RefreshGrid();
    DBGridEh2CellClick();
    edit1_->setFocus();
}

void TFadddraft::DBGridEh2CellClick() {
    if (!drafts_.IsEmpty())
        memo_->setPlainText(drafts_.IsNull("memory") ? QString()
                                                     : FromUtf8(drafts_.AsUtf8("memory")));
    btnSave_->setEnabled(false);
}

bool TFadddraft::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_) {
        if (event->type() == QEvent::KeyPress) {
            // Down on the last row would start a new, empty draft in a
            // data-bound grid; it does nothing here.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Down && grid_->currentRow() == grid_->rowCount() - 1)
                return true;
        } else if (event->type() == QEvent::KeyRelease) {
            DBGridEh2CellClick();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFadddraft::BitBtn1Click() {
    const QString subject = edit1_->text().trimmed();
    if (subject.isEmpty()) {
        InfoBox("请输入主题内容!");
        edit1_->setFocus();
        return;
    }
    const bool added = RunCommand([&] {
        drafts_.Append();
        drafts_.SetUtf8("name", subject.toStdString());
        drafts_.SetInteger("orderno", 0);
        drafts_.Post();
    });
    RefreshGrid();
    if (!added)
        return;
    memo_->clear();
    btnSave_->setEnabled(true);
    draftchanged_ = true;
}

void TFadddraft::btn_saveClick() {
    const std::string text = memo_->toPlainText().toStdString();
    if (IsBlank(text)) {
        WarnBox("请输入播音内容!");
        return;
    }
    const bool saved = RunCommand([&] {
        if (drafts_.IsEmpty())
            drafts_.Append();
        else
            drafts_.Edit();
        drafts_.SetUtf8("memory", text);
        drafts_.Post();
    });
    if (!saved)
        return;
    RefreshGrid();
    btnSave_->setEnabled(false);
    draftchanged_ = true;
}

void TFadddraft::btn_open1Click() {
    if (!dialogs_)
        return;
    const std::optional<QString> chosen =
        dialogs_->ChooseOpenFile(FromUtf8(AppDir()), QStringLiteral("文本文件(*.txt)"), this);
    if (!chosen)
        return;
    memo_->clear();
    const std::string path = chosen->toStdString();
    RunCommand([&] {
        // The cause in the report; a FIFO or a folder is refused at once.
        const DecodedText decoded = DecodeTextFile(ReadRegularFile(path));
        memo_->setPlainText(QString(reinterpret_cast<const QChar*>(decoded.text.data()),
                                    static_cast<qsizetype>(decoded.text.size())));
        if (!decoded.valid)
            WarnBox("文件 " + path + " 含有无法识别的字符。");
    });
}

void TFadddraft::N1Click() {
    if (drafts_.IsEmpty() || !ConfirmBox("真的要删除该记录吗？"))
        return;
    RunCommand([&] { drafts_.Delete(); });
    RefreshGrid();
}

void TFadddraft::Btn_closeClick() {
    close();
}

} // namespace sonvela
