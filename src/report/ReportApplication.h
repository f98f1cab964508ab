#pragma once

#include <memory>

class QApplication;

// Pictures and reports lay out text, which needs a QGuiApplication (its font
// database), and a report's profile charts are Qt Charts items drawn through
// a graphics scene, which needs a QApplication. A program without one (the
// command-line tool) makes one for the length of a report with this scope:
// on the offscreen platform unless the user named another, since a report
// needs no screen (and a stale DISPLAY must not stop it). Where an
// application exists already, the scope does nothing.
class ReportApplication {
public:
    ReportApplication();
    ~ReportApplication();
    ReportApplication(const ReportApplication&) = delete;
    ReportApplication& operator=(const ReportApplication&) = delete;

    // Whether a report can be written: a QApplication (not only a
    // QGuiApplication) runs.
    bool Ready() const;

private:
    int argc_ = 1;
    char name_[14] = "morvaplot-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
