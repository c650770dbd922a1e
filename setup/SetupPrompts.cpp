#include "SetupPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace sonvela {
namespace {

const QString kCaption = QStringLiteral("Sonvela(普及版)安装程序");

// The buttons carry Chinese captions of their own, whatever translations
// the machine has.
bool AskWithButtons(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                    const QString& text, const QString& accept, const QString& reject) {
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(reject, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void Tell(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, kCaption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace

void QtSetupPrompts::Warn(QWidget* parent, const QString& text) {
    Tell(parent, QMessageBox::Warning, text);
}

void QtSetupPrompts::ShowError(QWidget* parent, const QString& text) {
    Tell(parent, QMessageBox::Critical, text);
}

bool QtSetupPrompts::AskYesNo(QWidget* parent, const QString& text) {
    return AskWithButtons(parent, QMessageBox::Question, kCaption, text, QStringLiteral("是(&Y)"),
                          QStringLiteral("否(&N)"));
}

bool QtSetupPrompts::AskOkCancel(QWidget* parent, const QString& caption, const QString& text) {
    return AskWithButtons(parent, QMessageBox::Question, caption, text, QStringLiteral("确定"),
                          QStringLiteral("取消"));
}

std::optional<QString> QtSetupPrompts::PickFolder(QWidget* parent, const QString& instruction,
                                                  const QString& start) {
    const QString from = QDir(start).exists() && !start.isEmpty() ? start : QDir::homePath();
    const QString picked =
        QFileDialog::getExistingDirectory(parent, instruction, from, QFileDialog::ShowDirsOnly);
    if (picked.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(picked);
}

} // namespace sonvela
