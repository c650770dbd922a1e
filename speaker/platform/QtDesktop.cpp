#include "QtDesktop.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace sonvela {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtDesktop::ShowMessage(const MessageRequest& request) {
    QMessageBox box(ToQtIcon(request.icon), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtDesktop::AskYesNo(const MessageRequest& request) {
    QMessageBox box(ToQtIcon(request.icon), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == yes;
}

void QtDesktop::ProcessPendingEvents(std::chrono::milliseconds budget) {
    // A nested loop that wakes for events and for the deadline: waiting is
    // neither a busy spin nor deaf to the windows.
    QEventLoop loop;
    QTimer::singleShot(budget, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace sonvela
