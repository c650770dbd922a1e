// The draft grid under the editor: opening a draft, editing the list in
// TFadddraft, and showing or hiding the grid.
#include "DataModule.h"
#include "FunctionUnit.h"
#include "SettingsKeys.h"
#include "TFadddraft.h"
#include "Tf_speaker.h"
#include "TimetableWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>

namespace sonvela {
namespace {

constexpr int kGridHeight = 271;

// Enter and Space in the grid open the current draft.
class OpenKeyFilter final : public QObject {
public:
    OpenKeyFilter(QObject* parent, std::function<void()> open)
        : QObject(parent), open_(std::move(open)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                open_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> open_;
};

} // namespace

void Tf_speaker::ConnectDraftCommands() {
    popupMenu3_ = new QMenu(this);
    popupMenu3_->setObjectName(QStringLiteral("PopupMenu3"));
    QAction* n42 = popupMenu3_->addAction(QStringLiteral("修改列表"));
    n42->setObjectName(QStringLiteral("N42"));
    QAction* n43 = popupMenu3_->addAction(QStringLiteral("打开播放内容"));
    n43->setObjectName(QStringLiteral("N43"));
    connect(n42, &QAction::triggered, this, &Tf_speaker::N42Click);
    connect(n43, &QAction::triggered, this, &Tf_speaker::N43Click);
    sGrid1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sGrid1_, &QTableWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenu3_->popup(sGrid1_->viewport()->mapToGlobal(at)); });
    connect(sGrid1_, &QTableWidget::cellDoubleClicked, this, [this] { N43Click(); });
    sGrid1_->installEventFilter(new OpenKeyFilter(sGrid1_, [this] { N43Click(); }));
    connect(chkShowgrid_, &QCheckBox::clicked, this, &Tf_speaker::chk_showgridClick);
}

TFadddraft* Tf_speaker::DraftEditor() {
    if (!draftEditor_ && services_.dataModule)
        draftEditor_ = new TFadddraft(services_.dataModule->Q_draft, services_.dialogs, this);
    return draftEditor_;
}

void Tf_speaker::N43Click() {
    if (!savequestion())
        return;
    reading_.stopreading = true;
    // A grid nobody has clicked yet stands on its first draft.
    const int row =
        sGrid1_->currentRow() >= 0 ? sGrid1_->currentRow() : (sGrid1_->rowCount() > 0 ? 0 : -1);
    const QTableWidgetItem* cell = row >= 0 ? sGrid1_->item(row, 2) : nullptr;
    // The cell shows the text on one line and keeps it whole.
    memo1_->setPlainText(cell ? cell->data(Qt::UserRole).toString() : QString());
    SetEditorModified(false);
    currentFileName_.clear();
    currentEncoding_ = TextEncoding::Gbk;
    currentLineBreak_ = LineBreak::CrLf;
}

void Tf_speaker::N42Click() {
    TFadddraft* editor = DraftEditor();
    if (!editor)
        return;
    editor->ClearDraftChanged();
    editor->exec();
    if (editor->DraftChanged()) {
        RunCommand([&] { services_.dataModule->Q_draft1.Requery(); });
        LoadDraftGrid();
        // An open timetable names its entries' drafts: a rename or a delete
        // shows there at once.
        if (timetableWindow_)
            timetableWindow_->Reload();
    }
}

void Tf_speaker::chk_showgridClick() {
    const bool show = chkShowgrid_->isChecked();
    RunCommand(
        [&] { settings_.WriteBool(settings::System::kSection, settings::System::Showgrid, show); });
    sGrid1_->setVisible(show);
    if (show) {
        // The splitter's handle sits just above the grid, which gets its
        // design height back.
        const int total = splitter1_->height();
        splitter1_->setSizes({std::max(0, total - kGridHeight - 2), kGridHeight});
    }
}

} // namespace sonvela
