#include "EditorDialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace sonvela {
namespace {

void PaintSwatch(QPushButton* button, const QColor& color) {
    QPixmap swatch(24, 16);
    swatch.fill(color);
    // Framed, so that a white or light colour still shows as a swatch.
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    button->setIcon(QIcon(swatch));
}

} // namespace

std::optional<FontChoice> QtEditorDialogs::ChooseFont(const FontChoice& current, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("字体"));
    auto* layout = new QVBoxLayout(&dialog);

    // The font dialog embedded as a plain widget, so its choice and the
    // colour button share one OK.
    auto* fonts = new QFontDialog(current.font, &dialog);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOption(QFontDialog::NoButtons);
    layout->addWidget(fonts);

    QColor color = current.color;
    auto* row = new QHBoxLayout;
    auto* colorButton = new QPushButton(QStringLiteral("颜色(&C)..."), &dialog);
    PaintSwatch(colorButton, color);
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&] {
        const QColor chosen = QColorDialog::getColor(color, &dialog);
        if (chosen.isValid()) {
            color = chosen;
            PaintSwatch(colorButton, color);
        }
    });
    row->addWidget(colorButton);
    row->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    row->addWidget(buttons);
    layout->addLayout(row);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontChoice{fonts->currentFont(), color};
}

std::optional<QColor> QtEditorDialogs::ChooseColor(const QColor& current, QWidget* parent) {
    const QColor chosen = QColorDialog::getColor(current, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void QtEditorDialogs::OpenWithDesktop(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<QString> QtEditorDialogs::ChooseOpenFile(const QString& folder, const QString& filter,
                                                       QWidget* parent) {
    const QString chosen = QFileDialog::getOpenFileName(parent, QString(), folder, filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> QtEditorDialogs::ChooseSaveFile(const QString& proposed,
                                                       const QString& filter, QWidget* parent) {
    const QString chosen = QFileDialog::getSaveFileName(parent, QString(), proposed, filter,
                                                        nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

} // namespace sonvela
