// The main window. For now it holds the editor in its design appearance;
// the tool bar, menus, panels and tray join it as they are built.
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

namespace sonvela {

class Tf_speaker final : public QMainWindow {
    Q_OBJECT

public:
    explicit Tf_speaker(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1() const { return memo1_; }

private:
    QPlainTextEdit* memo1_;
};

} // namespace sonvela
