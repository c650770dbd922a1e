#include "Tf_sch.h"

#include "DialogSupport.h"
#include "FunctionUnit.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimeEdit>

namespace sonvela {

using dialogs::Named;
using dialogs::S;

namespace {

QTime TimeOfSeconds(int seconds) {
    return QTime(0, 0).addSecs(seconds);
}

} // namespace

Tf_sch::Tf_sch(ScheduledTask& task, std::function<int()> now, std::function<void()> changed,
               QWidget* parent)
    : QDialog(parent), task_(task), now_(std::move(now)), changed_(std::move(changed)) {
    setObjectName(QStringLiteral("f_sch"));
    dialogs::MakeFixedDialog(this, S("计划任务"), false);
    setModal(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xC0));
    setPalette(palette);

    timeEdit1_ = Named(new QTimeEdit(this), "TimeEdit1");
    timeEdit1_->setDisplayFormat(QStringLiteral("HH:mm"));
    radio1_ = Named(new QRadioButton(S("停止朗读"), this), "RadioButton1");
    radio2_ = Named(new QRadioButton(S("关机"), this), "RadioButton2");
    radio1_->setChecked(true);
    auto* run = Named(new QPushButton(S("执行"), this), "BitBtn1");
    auto* cancel = Named(new QPushButton(S("取消"), this), "BitBtn2");
    run->setDefault(true);
    connect(run, &QPushButton::clicked, this, &Tf_sch::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &Tf_sch::BitBtn2Click);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Named(new QLabel(S("任务时间："), this), "StaticText1"), 0, 0);
    layout->addWidget(timeEdit1_, 0, 1);
    layout->addWidget(radio1_, 1, 0);
    layout->addWidget(radio2_, 1, 1);
    layout->addWidget(run, 2, 0);
    layout->addWidget(cancel, 2, 1);
    setFixedSize(260, 130);
}

void Tf_sch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        PrepareShowing();
}

void Tf_sch::keyPressEvent(QKeyEvent* event) {
    // QDialog's Esc only rejects, which would close the window and leave a
    // task armed that the operator meant to call off.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        BitBtn2Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tf_sch::PrepareShowing() {
    if (task_.Armed()) {
        setWindowTitle(S("计划任务_正执行"));
        timeEdit1_->setTime(TimeOfSeconds(ParseTimeOfDay(task_.TaskTime()).value_or(0)));
        // For a shutdown task the radio buttons keep their last state.
        if (task_.Kind() == TaskKind::StopReading)
            radio1_->setChecked(true);
    } else {
        setWindowTitle(S("计划任务_未执行"));
        radio1_->setChecked(true);
        timeEdit1_->setTime(TimeOfSeconds(ProposedTaskTime(now_())));
    }
}

void Tf_sch::BitBtn1Click() {
    const std::string time = timeEdit1_->time().toString(QStringLiteral("HH:mm")).toStdString();
    const TaskKind kind = radio1_->isChecked() ? TaskKind::StopReading : TaskKind::Shutdown;
    if (task_.Arm(now_(), time, kind) == ScheduledTask::ArmResult::NotLaterThanNow)
        WarnBox("计划时间不能少于当前时间!");
    else if (changed_)
        changed_();
    accept();
}

void Tf_sch::BitBtn2Click() {
    task_.Disarm();
    if (changed_)
        changed_();
    reject();
}

} // namespace sonvela
