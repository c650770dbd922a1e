#include "Tf_speaker.h"

#include "SettingValues.h"
#include "SettingsKeys.h"

#include <QColor>
#include <QPalette>
#include <QPlainTextEdit>

namespace sonvela {
namespace {

QColor ToQColor(Color color) {
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

} // namespace

Tf_speaker::Tf_speaker(QWidget* parent) : QMainWindow(parent), memo1_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Sonvela"));
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette palette = memo1_->palette();
    palette.setColor(QPalette::Base, ToQColor(settings::Memo::kDesignBackground));
    palette.setColor(QPalette::Text, ToQColor(settings::Memo::kDesignTextColor));
    memo1_->setPalette(palette);
    QFont font = memo1_->font();
    font.setPointSize(settings::Memo::kFontsizeDefault);
    memo1_->setFont(font);
    setCentralWidget(memo1_);
    resize(900, 600);
}

} // namespace sonvela
