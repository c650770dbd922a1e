#include "MusicFolderDialog.h"

#include <QFileInfo>

namespace sonvela {

MusicFolderDialog::MusicFolderDialog(const QString& start, QWidget* parent)
    : QFileDialog(parent, QString::fromUtf8("选择背景音乐目录"), start) {
    setObjectName(QStringLiteral("MusicFolderDialog"));
    setFileMode(QFileDialog::Directory);
    // Qt's own dialog: it also has a button that makes a new folder.
    setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
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
