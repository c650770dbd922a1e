// The find and replace panel: its buttons run the find engine over the
// editor through the GBK adapter, window by window.
#include "FunctionUnit.h"
#include "GbkText.h"
#include "Tf_speaker.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QToolButton>

namespace sonvela {
namespace {

GbkString ToGbk(const QString& text) {
    return Utf16ToGbk(
        {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())});
}

// The editor as the find engine sees it.
class MemoFindTarget final : public FindTarget {
public:
    explicit MemoFindTarget(MemoGbkAdapter& text) : text_(text) {}

    std::int64_t TextSize() const override { return text_.TotalBytes(); }
    GbkString Window(std::int64_t offset, std::int64_t length) const override {
        return text_.TextWindow(offset, length);
    }
    std::int64_t SelectionStart() const override { return text_.Caret(); }
    GbkString SelectedText() const override { return text_.SelectedText(); }
    void Select(std::int64_t start, std::int64_t length) override {
        text_.SetSelection(start, length);
        Focus();
        text_.Memo()->ensureCursorVisible();
    }
    void ReplaceSelection(const GbkString& replacement) override {
        QTextCursor cursor = text_.Memo()->textCursor();
        const std::string utf8 = GbkToUtf8(replacement);
        cursor.insertText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        text_.Memo()->setTextCursor(cursor);
    }
    void Focus() override { text_.Memo()->setFocus(); }

private:
    MemoGbkAdapter& text_;
};

QString Text(const QObject* window, const char* name) {
    const auto* edit = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    return edit ? edit->text() : QString();
}

} // namespace

void Tf_speaker::ConnectFindCommands() {
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

void Tf_speaker::SpeedButton2Click() {
    const QString search = Text(this, "Fedit");
    if (search.isEmpty())
        return;
    MemoFindTarget target(*memo1Text_);
    FindOptions options = ReadFindOptions();
    const FindStep step = findSession_.Find(target, ToGbk(search), {}, options);
    ApplyFindStep(step, options);
}

void Tf_speaker::SpeedButton3Click() {
    const QString search = Text(this, "Fedit");
    if (search.isEmpty())
        return;
    MemoFindTarget target(*memo1Text_);
    FindOptions options = ReadFindOptions();
    const FindStep step =
        findSession_.Find(target, ToGbk(search), ToGbk(Text(this, "Redit")), options);
    ApplyFindStep(step, options);
}

void Tf_speaker::SpeedButton4Click() {
    const QString search = Text(this, "Fedit");
    if (search.isEmpty())
        return;
    MemoFindTarget target(*memo1Text_);
    FindOptions options = ReadFindOptions();
    const FindStep step =
        findSession_.ReplaceAll(target, ToGbk(search), ToGbk(Text(this, "Redit")), options);
    ApplyFindStep(step, options);
}

} // namespace sonvela
