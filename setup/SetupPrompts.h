// The installer's questions and messages, behind a seam so that tests can
// answer them at once instead of running a modal loop.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace sonvela {

class SetupPrompts {
public:
    virtual ~SetupPrompts() = default;

    virtual void Warn(QWidget* parent, const QString& text) = 0;
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // Yes/No; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // OK/Cancel; true for OK.
    virtual bool AskOkCancel(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The system's folder picker showing `instruction` above the folders,
    // starting at `start` when that is a folder. Nothing when cancelled.
    virtual std::optional<QString> PickFolder(QWidget* parent, const QString& instruction,
                                              const QString& start) = 0;
};

// The real boxes and the real folder picker.
class QtSetupPrompts final : public SetupPrompts {
public:
    void Warn(QWidget* parent, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
    bool AskOkCancel(QWidget* parent, const QString& caption, const QString& text) override;
    std::optional<QString> PickFolder(QWidget* parent, const QString& instruction,
                                      const QString& start) override;
};

} // namespace sonvela
