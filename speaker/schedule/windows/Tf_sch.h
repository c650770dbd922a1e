// The task dialog "计划任务": plans stopping the reading or shutting the
// computer down at a later time of the same day. Modal; created once.
#pragma once

#include "ScheduledTask.h"

#include <QDialog>
#include <functional>

class QRadioButton;
class QTimeEdit;

namespace sonvela {

class Tf_sch final : public QDialog {
    Q_OBJECT

public:
    // `now` gives the current time of day in seconds; `changed` runs after
    // the task was armed or cancelled (the window starts or stops its timer).
    Tf_sch(ScheduledTask& task, std::function<int()> now, std::function<void()> changed,
           QWidget* parent = nullptr);

    QTimeEdit* TimeEdit1() const { return timeEdit1_; }
    QRadioButton* RadioButton1() const { return radio1_; }
    QRadioButton* RadioButton2() const { return radio2_; }

    // What every showing does: the caption, the time and the kind.
    void PrepareShowing();
    void BitBtn1Click(); // 执行
    void BitBtn2Click(); // 取消

protected:
    void showEvent(QShowEvent* event) override;
    // Esc does what the cancel button does: it disarms the task.
    void keyPressEvent(QKeyEvent* event) override;

private:
    ScheduledTask& task_;
    std::function<int()> now_;
    std::function<void()> changed_;
    QTimeEdit* timeEdit1_ = nullptr;
    QRadioButton* radio1_ = nullptr;
    QRadioButton* radio2_ = nullptr;
};

} // namespace sonvela
