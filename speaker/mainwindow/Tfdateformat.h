// The date format dialog: chooses how "%Date%" is spoken and inserts the
// placeholder at the editor's caret. It stays on top and is not modal, so the
// operator can keep typing in the editor while it is open. Made once at
// start-up, then only shown and hidden.
#pragma once

#include "DatePlaceholder.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPoint;
class QRadioButton;

namespace sonvela {

class ReadingState;
class SettingsFile;

class Tfdateformat final : public QDialog {
    Q_OBJECT

public:
    // `insert` puts "%Date%" into the editor (the main window's inserttime).
    // `clock` gives the moment the captions show.
    Tfdateformat(ReadingState& state, const SettingsFile& settings, LocalClock clock,
                 std::function<void()> insert, QWidget* parent = nullptr);

    // SB_time: places the dialog with its top-left corner at `topLeft` and
    // shows it; when it is open already, only moves it and brings it forward.
    void ShowAt(const QPoint& topLeft);
    // Label2: the stored default type, as a sample of the current time.
    void readdefault();

    QRadioButton* RadioButton(int type) const { return radios_[type - 1]; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RefreshCaptions();
    int CheckedType() const;
    void SpeedButton2Click();
    void TakeCheckedType();

    ReadingState& state_;
    const SettingsFile& settings_;
    LocalClock clock_;
    std::function<void()> insert_;
    QLabel* label2_ = nullptr;
    QRadioButton* radios_[8] = {};
};

} // namespace sonvela
