#include "TFaddbiaodian.h"

#include "DataModule.h"
#include "DelaySymbolRules.h"
#include "DialogSupport.h"
#include "FunctionUnit.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <climits>

namespace sonvela {

using dialogs::Named;
using dialogs::S;

TFaddbiaodian::TFaddbiaodian(TDM* store, std::function<void()> added, QWidget* parent)
    : QDialog(parent), store_(store), added_(std::move(added)) {
    setObjectName(QStringLiteral("Faddbiaodian"));
    dialogs::MakeFixedDialog(this, S("新增延时符号"), true);
    setModal(false);

    edit1_ = Named(new QLineEdit(this), "Edit1");
    edit1_->setMaxLength(50);
    edit2_ = Named(new QLineEdit(this), "Edit2");
    // The table keeps a symbol of at most two characters.
    edit2_->setMaxLength(2);
    spinEdit1_ = Named(new QSpinBox(this), "SpinEdit1");
    spinEdit1_->setRange(INT_MIN, INT_MAX);
    spinEdit1_->setValue(0);
    auto* label4 = Named(new QLabel(S("注意：不能添加单引号，否则会出错。"), this), "Label4");
    label4->setStyleSheet(QStringLiteral("color: blue;"));
    auto* button1 = Named(new QPushButton(S("新增"), this), "Button1");
    connect(button1, &QPushButton::clicked, this, &TFaddbiaodian::Button1Click);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Named(new QLabel(S("名称"), this), "Label1"), 0, 0);
    layout->addWidget(edit1_, 0, 1);
    layout->addWidget(Named(new QLabel(S("符号"), this), "Label2"), 1, 0);
    layout->addWidget(edit2_, 1, 1);
    layout->addWidget(Named(new QLabel(S("延时毫秒"), this), "Label3"), 2, 0);
    layout->addWidget(spinEdit1_, 2, 1);
    layout->addWidget(label4, 3, 0, 1, 2);
    layout->addWidget(button1, 4, 1, Qt::AlignRight);
    setFixedSize(300, 180);
}

void TFaddbiaodian::Button1Click() {
    const std::string symbol = edit2_->text().toStdString();
    const int rowCount = store_ ? store_->q_delaytime.RecordCount() : 0;
    if (const auto refusal = CheckNewDelaySymbol(symbol, rowCount)) {
        if (refusal->warning)
            WarnBox(refusal->message);
        else
            InfoBox(refusal->message);
        return;
    }
    if (!store_)
        return;
    spinEdit1_->interpretText();
    const bool added = RunCommand([&] {
        AppendDelaySymbol(store_->q_delaytime,
                          {edit1_->text().toStdString(), symbol, spinEdit1_->value()});
    });
    if (added && added_)
        added_();
}

} // namespace sonvela
