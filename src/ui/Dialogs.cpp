#include "ui/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "data/CsvImportChoices.h"
#include "ui/CsvImportDialog.h"

int AskSource(Dialogs& dialogs, QWidget* parent, const QString& path, SourceInput& source) {
    source = SourceOfFile(QFile::encodeName(path).toStdString());
    if (source.Format != SourceFormat::Csv) return 1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs.ShowMessage("File open error. -> " + source.Path);
        return -1;
    }
    // The bytes previewed are the bytes imported.
    const QByteArray bytes = file.readAll();
    source.Text = std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const std::optional<CsvImportOptions> options = dialogs.ImportCsv(parent, path, *source.Text);
    if (!options) return 0;
    source.Csv = *options;
    return 1;
}

void ShowMessageBox(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void StandardDialogs::ShowMessage(const std::string& text) {
    ShowMessageBox(text);
}

std::optional<QString> StandardDialogs::RunFileDialog(QFileDialog& dialog, const QString& filter,
                                                      const QString& defaultSuffix) {
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!StartDirectory.isEmpty()) dialog.setDirectory(StartDirectory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    StartDirectory = QFileInfo(chosen).absolutePath();
    return chosen;
}

std::optional<QString> StandardDialogs::OpenFile(QWidget* parent, const QString& filter,
                                                 const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return RunFileDialog(dialog, filter, defaultSuffix);
}

std::optional<QString> StandardDialogs::SaveFile(QWidget* parent, const QString& filter,
                                                 const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return RunFileDialog(dialog, filter, defaultSuffix);
}

std::optional<Color> StandardDialogs::ChooseColor(QWidget* parent, Color initial) {
    const QColor chosen =
        QColorDialog::getColor(QColor(ColorRed(initial), ColorGreen(initial), ColorBlue(initial)), parent);
    if (!chosen.isValid()) return std::nullopt;
    return MakeColor(chosen.red(), chosen.green(), chosen.blue());
}

std::optional<CsvImportOptions> StandardDialogs::ImportCsv(QWidget* parent, const QString& fileName,
                                                           const std::string& text) {
    CsvImportDialog dialog(fileName, text, NextImportStart(lastCsv_), parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    lastCsv_ = dialog.Options();
    return lastCsv_;
}
