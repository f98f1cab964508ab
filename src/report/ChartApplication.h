#pragma once

#include <memory>

class QApplication;

// Qt Charts draws its plots as graphics-scene items, which need a
// QApplication. A program without one (the command-line tool) makes one
// for the length of a report with this scope: on the offscreen platform
// unless the user named another, since a report needs no screen (and a stale
// DISPLAY must not stop it). Where an application exists already, the scope
// does nothing.
class ChartApplication {
public:
    ChartApplication();
    ~ChartApplication();
    ChartApplication(const ChartApplication&) = delete;
    ChartApplication& operator=(const ChartApplication&) = delete;

    // Whether charts can be drawn: a QApplication (not only a
    // QGuiApplication) runs.
    bool Ready() const;

private:
    int argc_ = 1;
    char name_[14] = "morvaplot-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
