// The draft list editor "文稿列表编辑": a modal dialog over the table
// dataset Q_draft. Edits of a subject or an order number in the grid are
// posted at once; the text of the current draft is edited below the grid and
// stored with the save button.
#pragma once

#include <QDialog>

class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace sonvela {

class EditorDialogs;
class Dataset;

class TFadddraft final : public QDialog {
public:
    TFadddraft(Dataset& drafts, EditorDialogs* dialogs, QWidget* parent = nullptr);

    // Set by any change of the current row or of a value of the drafts, and
    // by add and save; the main window clears it before showing the dialog.
    bool DraftChanged() const { return draftchanged_; }
    void ClearDraftChanged() { draftchanged_ = false; }

    QTableWidget* DBGrid1() const { return grid_; }
    QPlainTextEdit* Memo1() const { return memo_; }
    QLineEdit* Edit1() const { return edit1_; }

    void FormShow();
    void DBGridEh2CellClick();
    void BitBtn1Click();
    void btn_saveClick();
    void btn_open1Click();
    void N1Click();
    void Btn_closeClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Fills the grid from the dataset's rows and puts its cursor on the
    // dataset's current row.
    void RefreshGrid();
    void GridCurrentChanged(int row);
    void GridItemChanged(QTableWidgetItem* item);

    Dataset& drafts_;
    EditorDialogs* dialogs_;
    bool draftchanged_ = false;
    bool filling_ = false;
    QTableWidget* grid_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QPushButton* btnSave_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
};

} // namespace sonvela
