#include "MusicFolderDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace sonvela {

MusicFolderDialog::MusicFolderDialog(const QString& start, QWidget* parent)
    : QFileDialog(parent, QString::fromUtf8("选择背景音乐目录"), start) {
    setObjectName(QStringLiteral("MusicFolderDialog"));
    setFileMode(QFileDialog::Directory);
    // Qt's own dialog: it also has a button that makes a new folder.
    setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    // Qt greys the choose button while the typed name is no existing
    // folder; a new name is a fine answer here. Connected after the
    // dialog's own handler, so this has the last word.
    auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (name && buttons) {
        connect(name, &QLineEdit::textChanged, this, [name, buttons] {
            if (QPushButton* choose = buttons->button(QDialogButtonBox::Open))
                choose->setEnabled(choose->isEnabled() || !name->text().trimmed().isEmpty());
        });
    }
}

void MusicFolderDialog::accept() {
    const QStringList selected = selectedFiles();
    const QString folder = selected.value(0);
    if (!folder.isEmpty() && !QFileInfo::exists(folder)) {
        // A new name: the caller asks whether to create it.
        chosen_ = folder;
        QDialog::accept();
        return;
    }
    // An existing folder, or a file: Qt's own checks and history.
    chosen_ = folder;
    QFileDialog::accept();
}

QString MusicFolderDialog::Choose(const QString& start, QWidget* parent) {
    MusicFolderDialog dialog(start, parent);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.ChosenFolder();
}

} // namespace sonvela
