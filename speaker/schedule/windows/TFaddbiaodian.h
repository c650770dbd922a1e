// The add-symbol dialog "新增延时符号": appends a delay symbol to the table.
// On top and not modal; it keeps its fields, so several symbols can be
// added in a row.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QSpinBox;

namespace sonvela {

class TDM;

class TFaddbiaodian final : public QDialog {
    Q_OBJECT

public:
    // `added` runs after each symbol added (the settings grid shows it).
    TFaddbiaodian(TDM* store, std::function<void()> added, QWidget* parent = nullptr);

    QLineEdit* Edit1() const { return edit1_; }
    QLineEdit* Edit2() const { return edit2_; }
    QSpinBox* SpinEdit1() const { return spinEdit1_; }

    void Button1Click();

private:
    TDM* store_;
    std::function<void()> added_;
    QLineEdit* edit1_ = nullptr;
    QLineEdit* edit2_ = nullptr;
    QSpinBox* spinEdit1_ = nullptr;
};

} // namespace sonvela
