// The installer's one window: where to install, whether to make a menu
// entry and start the program afterwards, and the buttons that do it.
#pragma once

#include "InstallFile.h"

#include <QString>
#include <QWidget>
#include <span>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sonvela {

class SetupPrompts;

class TForm1 final : public QWidget {
public:
    TForm1(std::span<const InstallFile> files, SetupPrompts& prompts, QWidget* parent = nullptr);

    // Set once every file and shortcut has been written.
    bool installed() const { return installed_; }
    // The installation folder P: empty until "安装" or the folder picker sets it.
    const QString& installFolder() const { return installFolder_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void Button1Click();
    void btnnextClick();
    void btnexitClick();
    // Writes the folders and the files, then the shortcuts; false, after
    // telling the operator, when a folder or file could not be written.
    bool filetodisk();
    void addlink();
    void StartInstalledProgram();
    // Whether the operator's Sonvela is running (it holds its single-instance
    // lock).
    static bool ProgramIsRunning();

    std::span<const InstallFile> files_;
    SetupPrompts& prompts_;
    QString installFolder_;
    bool installed_ = false;

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Panel2 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* chbstart = nullptr;
    QCheckBox* chbrun = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edtpath = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btnnext = nullptr;
    QPushButton* btnexit = nullptr;
};

} // namespace sonvela
