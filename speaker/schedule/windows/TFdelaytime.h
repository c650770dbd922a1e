// The system settings dialog "系统设置": the delay symbols with the pause of
// the delay sign, the four hot-key switches, and the announcement schedule.
// Not modal and on top of other windows; created once and afterwards shown
// and hidden, keeping its page. Every showing reads the settings file again,
// so values changed but not saved are dropped.
#pragma once

#include "PronunciationPage.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QMenu;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace sonvela {

class ReadingState;
class SettingsFile;
class TDM;
class TellTimeSchedule;

struct SettingsDialogContext {
    TDM* store = nullptr; // null: empty grids (tests without a database)
    const SettingsFile* settings = nullptr;
    ReadingState* reading = nullptr;
    TellTimeSchedule* schedule = nullptr;
    // Shows the add-symbol dialog.
    std::function<void()> showAddSymbol;
    // The page "读音": the operator's pronunciation list.
    PronunciationPageContext pronunciations{};
};

class TFdelaytime final : public QDialog {
    Q_OBJECT

public:
    // Builds the dialog and the announcement schedule from the table.
    TFdelaytime(SettingsDialogContext context, QWidget* parent = nullptr);

    QTabWidget* PageControl1() const { return pages_; }
    QTableWidget* DBGridEh2() const { return delayGrid_; }
    QTableWidget* DBGridEh1() const { return slotGrid_; }
    PronunciationPage* Pronunciations() const { return pronunciationPage_; }

    // The delay-symbol grid shows the table's rows again (after an add).
    void ReloadDelayGrid();
    // Rebuilds the in-memory schedule from the announcement table.
    void RebuildSchedule();

    void N1Click();      // add a symbol
    void D1Click();      // delete the current symbol
    void BitBtn4Click(); // save page 1
    void BitBtn3Click(); // save page 2
    void BitBtn5Click(); // save page 3

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildDelayPage();
    QWidget* BuildHotKeyPage();
    QWidget* BuildSchedulePage();
    void ReloadSlotGrid();
    void ReadSettings();
    // Ends an edit still open in a grid, so that it reaches the table.
    void CommitOpenEditor(QTableWidget* grid);
    void DelayCellChanged(int row, int column);
    void SlotCellChanged(int row, int column);

    SettingsDialogContext c_;
    QTabWidget* pages_ = nullptr;
    QTableWidget* delayGrid_ = nullptr;
    QTableWidget* slotGrid_ = nullptr;
    QMenu* popupMenu1_ = nullptr;
    QSpinBox* sDelay2_ = nullptr;
    QCheckBox* chkf5_ = nullptr;
    QCheckBox* chkf7_ = nullptr;
    QCheckBox* chkf9_ = nullptr;
    QCheckBox* chkf11_ = nullptr;
    PronunciationPage* pronunciationPage_ = nullptr;
    bool filling_ = false;
};

} // namespace sonvela
