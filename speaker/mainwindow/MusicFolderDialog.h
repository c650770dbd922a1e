// The chooser of the background music folder. Qt's own folder dialog
// refuses a name that does not exist with a warning of its own, so the
// operator could never reach the main window's offer to create the folder:
// this one hands such a name back like any other.
#pragma once

#include <QFileDialog>

namespace sonvela {

class MusicFolderDialog final : public QFileDialog {
    Q_OBJECT

public:
    MusicFolderDialog(const QString& start, QWidget* parent = nullptr);

    // The folder the operator chose, existing or not; empty when cancelled.
    QString ChosenFolder() const { return chosen_; }

    // Runs the dialog modally and returns ChosenFolder().
    static QString Choose(const QString& start, QWidget* parent);

public Q_SLOTS:
    void accept() override;

private:
    QString chosen_;
};

} // namespace sonvela
