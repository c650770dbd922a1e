#include "LinkLabel.h"

#include <QEvent>
#include <QLabel>

namespace sonvela {

namespace {

class LinkFilter final : public QObject {
public:
    LinkFilter(QObject* parent, std::function<void()> action)
        : QObject(parent), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            action_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

} // namespace

void MakeLinkLabel(QLabel* label, std::function<void()> action) {
    label->setCursor(Qt::PointingHandCursor);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
    label->setPalette(palette);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->installEventFilter(new LinkFilter(label, std::move(action)));
}

} // namespace sonvela
