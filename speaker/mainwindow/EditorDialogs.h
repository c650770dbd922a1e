// The common dialogs the main window's commands run, behind a seam so that
// window tests answer them at once instead of entering a modal loop.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QWidget;

namespace sonvela {

struct FontChoice {
    QFont font;
    QColor color;
};

class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;

    // The font dialog, loaded with `current`; nothing when cancelled.
    virtual std::optional<FontChoice> ChooseFont(const FontChoice& current, QWidget* parent) = 0;
    // The colour dialog, loaded with `current`; nothing when cancelled.
    virtual std::optional<QColor> ChooseColor(const QColor& current, QWidget* parent) = 0;
    // Opens a file with the desktop's handler for its type.
    virtual void OpenWithDesktop(const QString& path) = 0;
    // The file dialogs, starting in `folder` (or at `proposed`, a full path)
    // with a filter such as "文本文件(*.txt);;Word文件(*.doc)"; nothing when
    // cancelled. The save dialog never asks about replacing a file: the
    // commands ask when they should.
    virtual std::optional<QString> ChooseOpenFile(const QString& folder, const QString& filter,
                                                  QWidget* parent) = 0;
    virtual std::optional<QString> ChooseSaveFile(const QString& proposed, const QString& filter,
                                                  QWidget* parent) = 0;
};

// The real dialogs. The font dialog carries a colour button, since the text
// colour is chosen together with the face, size and styles.
class QtEditorDialogs final : public EditorDialogs {
public:
    std::optional<FontChoice> ChooseFont(const FontChoice& current, QWidget* parent) override;
    std::optional<QColor> ChooseColor(const QColor& current, QWidget* parent) override;
    void OpenWithDesktop(const QString& path) override;
    std::optional<QString> ChooseOpenFile(const QString& folder, const QString& filter,
                                          QWidget* parent) override;
    std::optional<QString> ChooseSaveFile(const QString& proposed, const QString& filter,
                                          QWidget* parent) override;
};

} // namespace sonvela
