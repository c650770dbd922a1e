// The find and replace panel: its buttons run the find engine over the
// editor through the GBK adapter, window by window, a share at a time
// (FindRunner.h).
#include "FindRunner.h"
#include "FunctionUnit.h"
#include "GbkText.h"
#include "Tf_speaker.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

namespace sonvela {
namespace {

GbkString ToGbk(const QString& text) {
    return Utf16ToGbk(
        {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())});
}

QString Text(const QObject* window, const char* name) {
    const auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    return edit ? edit->text() : QString();
}

} // namespace

void Tf_speaker::ConnectFindCommands() {
    findRunner_ = std::make_unique<FindRunner>(*memo1Text_, statusPanels_[2], this);
    const std::pair<const char*, void (Tf_speaker::*)()> buttons[] = {
        {"SpeedButton2", &Tf_speaker::SpeedButton2Click},
        {"SpeedButton3", &Tf_speaker::SpeedButton3Click},
        {"SpeedButton4", &Tf_speaker::SpeedButton4Click}};
    for (const auto& [name, command] : buttons)
        if (auto* button = findChild<QToolButton*>(QString::fromLatin1(name)))
            connect(button, &QToolButton::clicked, this, command);
}

FindOptions Tf_speaker::ReadFindOptions() const {
    auto checked = [this](const char* name) {
        const auto* box = findChild<QCheckBox*>(QString::fromLatin1(name));
        return box && box->isChecked();
    };
    return {checked("CheckBox2"), checked("CheckBox1"), checked("CheckBox4"), checked("CheckBox3")};
}

void Tf_speaker::ApplyFindStep(const FindStep& step, const FindOptions& options) {
    // "从顶部开始" acts once.
    if (!options.fromTop)
        if (auto* box = findChild<QCheckBox*>(QStringLiteral("CheckBox4")))
            box->setChecked(false);
    if (!step.message.empty())
        InfoBox(step.message);
}

void Tf_speaker::StartFindCommand(bool replace, bool replaceAll) {
    const QString search = Text(this, "Fedit");
    if (search.isEmpty())
        return;
    findRunner_->Start(findSession_, ToGbk(search), replace ? ToGbk(Text(this, "Redit")) : "",
                       ReadFindOptions(), replaceAll,
                       [this](const FindStep& step, const FindOptions& options, bool cancelled) {
                           // A command ended early says nothing: it was
                           // stopped, or the text changed under it.
                           ApplyFindStep(cancelled ? FindStep{} : step, options);
                       });
}

bool Tf_speaker::FindRunning() const {
    return findRunner_->Running();
}

void Tf_speaker::SpeedButton2Click() {
    StartFindCommand(false, false);
}

void Tf_speaker::SpeedButton3Click() {
    StartFindCommand(true, false);
}

void Tf_speaker::SpeedButton4Click() {
    StartFindCommand(true, true);
}

} // namespace sonvela
