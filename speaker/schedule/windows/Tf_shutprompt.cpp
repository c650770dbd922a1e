#include "Tf_shutprompt.h"

#include "DialogSupport.h"
#include "ScheduledTask.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace sonvela {

using dialogs::Named;
using dialogs::S;

namespace {

QLabel* BoldLabel(const char* name, const QString& text, const char* color, QWidget* parent) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(QLatin1String(color)));
    return label;
}

} // namespace

Tf_shutprompt::Tf_shutprompt(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("f_shutprompt"));
    dialogs::MakeFixedDialog(this, S("关机提醒"), true);
    setModal(false);
    auto* label1 = BoldLabel("Label1", S("警告:"), "red", this);
    label2_ = BoldLabel("Label2", S("计算机将在五分钟之后自动关机，"), "blue", this);
    auto* label3 = BoldLabel("Label3", S("请保存自己的资料，以免丢失!"), "blue", this);
    auto* button1 = Named(new QPushButton(S("确 定"), this), "Button1");
    connect(button1, &QPushButton::clicked, this, &QDialog::hide);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(label2_);
    layout->addWidget(label3);
    layout->addWidget(button1, 0, Qt::AlignHCenter);
    setFixedSize(320, 150);
}

void Tf_shutprompt::ShowFor(std::string_view taskTime) {
    label2_->setText(QString::fromStdString(ShutdownWarningText(taskTime)));
    show();
    raise();
}

} // namespace sonvela
