// The warning window "关机提醒" of a planned shutdown. On top of other
// windows; the task timer shows it again every second during the last five
// minutes, so closing it only hides it until the next tick.
#pragma once

#include <QDialog>
#include <string_view>

class QLabel;

namespace sonvela {

class Tf_shutprompt final : public QDialog {
    Q_OBJECT

public:
    explicit Tf_shutprompt(QWidget* parent = nullptr);

    QLabel* Label2() const { return label2_; }
    // Shows the window (or brings it forward) with the task's time.
    void ShowFor(std::string_view taskTime);

private:
    QLabel* label2_ = nullptr;
};

} // namespace sonvela
