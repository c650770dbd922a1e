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
};

// The real dialogs. The font dialog carries a colour button, since the text
// colour is chosen together with the face, size and styles.
class QtEditorDialogs final : public EditorDialogs {
public:
    std::optional<FontChoice> ChooseFont(const FontChoice& current, QWidget* parent) override;
    std::optional<QColor> ChooseColor(const QColor& current, QWidget* parent) override;
    void OpenWithDesktop(const QString& path) override;
};

} // namespace sonvela
