// The fourth status panel: the path of the music track being played, and the
// program's own notices (no global hot keys on this desktop, a text
// recovered). A notice stands for a while and then gives the panel back to
// the track, so neither hides the other for good; notices that come
// together are shown one after the other.
#pragma once

#include <QObject>
#include <QString>
#include <deque>

class QLabel;
class QTimer;

namespace sonvela {

class StatusNoticePanel final : public QObject {
    Q_OBJECT

public:
    static constexpr int kNoticeMs = 8000;

    StatusNoticePanel(QLabel* panel, QObject* parent);

    // What the panel shows when no notice stands: the track's path.
    void SetTrackText(const QString& text);
    void ShowNotice(const QString& text);

    QTimer* NoticeTimer() const { return timer_; }

private:
    void ShowNext();

    QLabel* panel_;
    QTimer* timer_;
    QString track_;
    std::deque<QString> waiting_;
};

} // namespace sonvela
