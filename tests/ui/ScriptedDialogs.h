#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/Dialogs.h"

// Answers the common dialogs from a script instead of showing them; an empty
// script answers "cancel". Messages are kept, not shown.
class ScriptedDialogs : public Dialogs {
public:
    std::vector<std::string> ShownMessages;
    // Called with each message before it is kept, when set.
    std::function<void(const std::string&)> OnMessage;

    void ShowMessage(const std::string& text) override {
        if (OnMessage) OnMessage(text);
        ShownMessages.push_back(text);
    }

    std::deque<std::optional<QString>> Files;
    std::deque<std::optional<Color>> Colors;
    std::deque<std::optional<QString>> SaveFiles;
    int FileCalls = 0;
    int SaveCalls = 0;
    int ColorCalls = 0;
    QString LastFilter;
    QString LastSuffix;
    Color LastInitialColor = 0;

    std::optional<QString> OpenFile(QWidget*, const QString& filter, const QString& suffix) override {
        ++FileCalls;
        LastFilter = filter;
        LastSuffix = suffix;
        if (Files.empty()) return std::nullopt;
        const bool chosen = Files.front().has_value();
        const QString path = chosen ? *Files.front() : QString();
        Files.pop_front();
        if (!chosen) return std::nullopt;
        return path;
    }

    std::optional<QString> SaveFile(QWidget*, const QString& filter, const QString& suffix) override {
        ++SaveCalls;
        LastFilter = filter;
        LastSuffix = suffix;
        if (SaveFiles.empty()) return std::nullopt;
        const bool chosen = SaveFiles.front().has_value();
        const QString path = chosen ? *SaveFiles.front() : QString();
        SaveFiles.pop_front();
        if (!chosen) return std::nullopt;
        return path;
    }

    // Import answers: each is either options or a cancel; with none left the
    // options as detected (all defaults but the diameter DefaultDiameter).
    std::deque<std::optional<CsvImportOptions>> Imports;
    double DefaultDiameter = 0.0;
    int ImportCalls = 0;
    std::optional<CsvImportOptions> ImportCsv(QWidget*, const QString&, const std::string&) override {
        ++ImportCalls;
        if (Imports.empty()) {
            CsvImportOptions options;
            options.Diameter = DefaultDiameter;
            return options;
        }
        auto answer = Imports.front();
        Imports.pop_front();
        return answer;
    }

    std::optional<Color> ChooseColor(QWidget*, Color initial) override {
        ++ColorCalls;
        LastInitialColor = initial;
        if (Colors.empty()) return std::nullopt;
        auto answer = Colors.front();
        Colors.pop_front();
        return answer;
    }
};
