// The main window's desktop services for a benchmark: messages and questions
// answered at once and silently, and an open dialog that answers with one
// file, so that a measurement never waits for a person.
#pragma once

#include "Desktop.h"
#include "EditorDialogs.h"

#include <QString>
#include <optional>

namespace sonvela::bench {

class QuietDesktop final : public Desktop {
public:
    void ShowMessage(const MessageRequest&) override {}
    bool AskYesNo(const MessageRequest&) override { return false; }
    void ProcessPendingEvents(std::chrono::milliseconds) override {}
};

class FileDialogs final : public EditorDialogs {
public:
    std::optional<FontChoice> ChooseFont(const FontChoice&, QWidget*) override { return {}; }
    std::optional<QColor> ChooseColor(const QColor&, QWidget*) override { return {}; }
    void OpenWithDesktop(const QString&) override {}
    std::optional<QString> ChooseOpenFile(const QString&, const QString&, QWidget*) override {
        return file;
    }
    std::optional<QString> ChooseSaveFile(const QString&, const QString&, QWidget*) override {
        return {};
    }
    QString file;
};

} // namespace sonvela::bench
