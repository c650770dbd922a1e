#include "DialogSupport.h"

namespace sonvela::dialogs {

void MakeFixedDialog(QWidget* dialog, const QString& caption, bool stayOnTop) {
    dialog->setWindowTitle(caption);
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (stayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    dialog->setWindowFlags(flags);
}

} // namespace sonvela::dialogs
