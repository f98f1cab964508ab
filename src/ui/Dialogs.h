#pragma once

#include <QString>
#include <optional>
#include <string>

#include "core/Color.h"
#include "core/Message.h"
#include "data/CsvImport.h"
#include "session/Source.h"

class QFileDialog;
class QWidget;

// The common dialogs the windows use, behind an interface so tests can script
// the answers instead of driving real modal dialogs.
class Dialogs {
public:
    Dialogs() : messages_([this](const std::string& text) { ShowMessage(text); }) {}
    virtual ~Dialogs() = default;
    Dialogs(const Dialogs&) = delete;
    Dialogs& operator=(const Dialogs&) = delete;

    // Shows a message and returns when the user has read it.
    virtual void ShowMessage(const std::string& text) = 0;
    // A sink whose texts go to ShowMessage, for the operations a window runs.
    const MessageSink& Messages() const { return messages_; }

    // The chosen file, or nothing when the user cancels.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& filter,
                                            const QString& defaultSuffix) = 0;
    // The file to write, or nothing when the user cancels; an existing file
    // is replaced only after the user agreed.
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& filter,
                                            const QString& defaultSuffix) = 0;
    // The chosen colour, or nothing when the user cancels.
    virtual std::optional<Color> ChooseColor(QWidget* parent, Color initial) = 0;
    // How to import the table text read from fileName (the Import dialog),
    // or nothing when the user cancels.
    virtual std::optional<CsvImportOptions> ImportCsv(QWidget* parent, const QString& fileName,
                                                      const std::string& text) = 0;

private:
    MessageSink messages_;
};

// The source at path as the windows load it: a table (".csv", ".txt") read
// once and imported as the user chooses in the Import dialog, otherwise a
// .thk file. 1; 0 when the user cancelled the import; -1 after
// "File open error. -> <path>" when the table cannot be read.
int AskSource(Dialogs& dialogs, QWidget* parent, const QString& path, SourceInput& source);

// How the program shows a message: a modal box with one OK button.
void ShowMessageBox(const std::string& text);

// Qt's own file and colour dialogs.
class StandardDialogs : public Dialogs {
public:
    // Where the next file dialog opens; each chosen file moves it to that
    // file's folder. Empty: the working folder.
    QString StartDirectory;

    // A modal box with one OK button.
    void ShowMessage(const std::string& text) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) override;
    std::optional<Color> ChooseColor(QWidget* parent, Color initial) override;
    // Starts from the units and diameter of the last import; the columns are
    // detected afresh for each file.
    std::optional<CsvImportOptions> ImportCsv(QWidget* parent, const QString& fileName,
                                              const std::string& text) override;

private:
    CsvImportOptions lastCsv_;
    std::optional<QString> RunFileDialog(QFileDialog& dialog, const QString& filter,
                                         const QString& defaultSuffix);
};
