#include "ui/Dialogs.h"

#include <QColorDialog>
#include <QFileDialog>

std::optional<QString> StandardDialogs::OpenFile(QWidget* parent, const QString& filter,
                                                 const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> StandardDialogs::SaveFile(QWidget* parent, const QString& filter,
                                                 const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<Color> StandardDialogs::ChooseColor(QWidget* parent, Color initial) {
    const QColor chosen =
        QColorDialog::getColor(QColor(ColorRed(initial), ColorGreen(initial), ColorBlue(initial)), parent);
    if (!chosen.isValid()) return std::nullopt;
    return MakeColor(chosen.red(), chosen.green(), chosen.blue());
}
