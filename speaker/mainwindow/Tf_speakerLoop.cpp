// The main window's loop reading (the loop bar and its timer) and its two
// ways of inserting text into the editor.
#include "FunctionUnit.h"
#include "LoopReading.h"
#include "SettingsKeys.h"
#include "Tf_speaker.h"
#include "Tfdateformat.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

namespace sonvela {

namespace {
// The screen row of the date format dialog's top edge.
constexpr int kDateDialogTop = 79;
} // namespace

void Tf_speaker::ConnectLoopReading() {
    readcycled_ = new QTimer(this);
    readcycled_->setObjectName(QStringLiteral("readcycled"));
    readcycled_->setInterval(1000);
    connect(readcycled_, &QTimer::timeout, this, &Tf_speaker::readcycledTimer);
    loop_ = std::make_unique<LoopReading>(LoopReadingContext{
        reading_, readerHost_.get(), *editorPort_, *this, [this] { readcycled_->start(); }});

    const struct {
        const char* name;
        void (Tf_speaker::*command)();
    } kCommands[] = {
        {"SB_repeat", &Tf_speaker::SB_repeatClick},
        {"SB_repeat1", &Tf_speaker::SB_repeat1Click},
        {"N36", &Tf_speaker::N36Click},
        {"N22", &Tf_speaker::N22Click},
        {"btn_ok", &Tf_speaker::btn_okClick},
        {"SB_time", &Tf_speaker::SB_timeClick},
        {"Y1", &Tf_speaker::Y1Click},
    };
    for (const auto& each : kCommands) {
        const QString name = QString::fromLatin1(each.name);
        if (auto* button = findChild<QToolButton*>(name))
            connect(button, &QToolButton::clicked, this, each.command);
        else if (auto* item = findChild<QAction*>(name))
            connect(item, &QAction::triggered, this, each.command);
    }
}

void Tf_speaker::CreateDateFormatDialog() {
    fdateformat_ = new Tfdateformat(
        reading_, settings_, CurrentLocalDateTime, [this] { inserttime(QStringLiteral("%Date%")); },
        this);
}

namespace {
LoopReading::Settings LoopBarValues(const QSpinBox* times, const QSpinBox* interval) {
    return {times->value(), interval->value()};
}
} // namespace

void Tf_speaker::N36Click() {
    RunCommand([&] { loop_->RangeLoop(LoopBarValues(spinEdit1_, spinEdit2_)); });
}

void Tf_speaker::SB_repeatClick() {
    N36Click();
}

void Tf_speaker::N22Click() {
    RunCommand([&] { loop_->FullTextLoopFromMenu(LoopBarValues(spinEdit1_, spinEdit2_)); });
}

void Tf_speaker::SB_repeat1Click() {
    RunCommand([&] { loop_->FullTextLoopFromToolbar(LoopBarValues(spinEdit1_, spinEdit2_)); });
}

void Tf_speaker::readcycledTimer() {
    RunCommand([&] { loop_->Tick(ReadingState::Clock::now()); });
}

void Tf_speaker::StopLoopTimer() {
    readcycled_->stop();
}

void Tf_speaker::btn_okClick() {
    namespace key = settings::System;
    settings_.WriteInteger(key::kSection, key::Readtimes, spinEdit1_->value());
    settings_.WriteInteger(key::kSection, key::Intervaltime, spinEdit2_->value());
    InfoBox("参数已设为默认！ ");
}

void Tf_speaker::SB_timeClick() {
    CreateOtherWindows();
    // A fixed screen row, and the button's offset inside its tool bar for
    // the left edge: the dialog lands at the same place wherever the main
    // window stands, which the operator learns to look at.
    const QWidget* button = findChild<QToolButton*>(QStringLiteral("SB_time"));
    fdateformat_->ShowAt(QPoint(button->x(), kDateDialogTop));
}

void Tf_speaker::Y1Click() {
    insertpos(QString::fromUtf8("※"));
}

void Tf_speaker::inserttime(const QString& text) {
    QTextCursor cursor = memo1_->textCursor();
    cursor.setPosition(cursor.selectionStart());
    cursor.insertText(text);
    memo1_->setTextCursor(cursor);
}

void Tf_speaker::insertpos(const QString& text) {
    const int start = memo1_->textCursor().selectionStart();
    QString whole = memo1_->toPlainText();
    whole.insert(start, text);
    // Setting the whole text is what puts the caret at the start; the undo
    // history goes with it, as after any command that replaces the text.
    memo1_->setPlainText(whole);
}

} // namespace sonvela
