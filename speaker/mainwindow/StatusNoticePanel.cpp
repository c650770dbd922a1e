#include "StatusNoticePanel.h"

#include <QLabel>
#include <QTimer>

namespace sonvela {

StatusNoticePanel::StatusNoticePanel(QLabel* panel, QObject* parent)
    : QObject(parent), panel_(panel), timer_(new QTimer(this)) {
    timer_->setObjectName(QStringLiteral("noticeTimer"));
    timer_->setSingleShot(true);
    timer_->setInterval(kNoticeMs);
    connect(timer_, &QTimer::timeout, this, &StatusNoticePanel::ShowNext);
}

void StatusNoticePanel::SetTrackText(const QString& text) {
    track_ = text;
    // A standing notice keeps the panel until its time is up.
    if (!timer_->isActive())
        panel_->setText(track_);
}

void StatusNoticePanel::ShowNotice(const QString& text) {
    waiting_.push_back(text);
    if (!timer_->isActive())
        ShowNext();
}

void StatusNoticePanel::ShowNext() {
    if (waiting_.empty()) {
        panel_->setText(track_);
        return;
    }
    panel_->setText(waiting_.front());
    waiting_.pop_front();
    timer_->start();
}

} // namespace sonvela
