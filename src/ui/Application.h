#pragma once

#include <QString>
#include <memory>

#include "ui/Forms.h"
#include "ui/Main.h"

class Dialogs;

// The five forms of the program, created in start-up order: the main window,
// the input pad, the random data maker, the gradation dialog, the 3D view.
// All live for the whole run.
struct MorvaplotForms {
    MorvaplotForms(const QString& settingsDir, Dialogs& dialogs);

    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TTenkey> Tenkey;
    std::unique_ptr<TDataMake> DataMake;
    std::unique_ptr<TGradationSet> GradationSet;
    std::unique_ptr<TView3D> View3D;
};

// The OpenGL context every GL widget gets: a 2.1 compatibility profile (the 3D
// view draws with the fixed-function pipeline; a core profile draws nothing)
// with a depth buffer. Call before the QApplication is constructed.
void SetDefaultSurfaceFormat();

// Message handler for the program: a modal box with one OK button.
void InstallMessageBoxHandler();
