// Small helpers shared by the schedule and settings dialogs.
#pragma once

#include <QString>
#include <QWidget>

namespace sonvela::dialogs {

inline QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A fixed-size tool window with only a close box.
void MakeFixedDialog(QWidget* dialog, const QString& caption, bool stayOnTop);

} // namespace sonvela::dialogs
