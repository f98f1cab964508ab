#pragma once

#include <QString>
#include <memory>
#include <string>

#include "render3d/GlInfo.h"
#include "ui/Input.h"
#include "ui/Main.h"
#include "ui/Makedata.h"
#include "ui/Multigradation.h"
#include "ui/View_3d.h"

class Dialogs;

// The five forms of the program, created in start-up order: the main window,
// the input pad, the random data maker, the gradation dialog, the 3D view.
// All live for the whole run. The main window is the only owner: the other
// four are its Qt children and go with it, so no order of destruction can
// delete a form twice.
struct MorvaplotForms {
    MorvaplotForms(const QString& settingsDir, Dialogs& dialogs);

    std::unique_ptr<TForm1> Form1;
    TTenkey* Tenkey = nullptr;
    TDataMake* DataMake = nullptr;
    TGradationSet* GradationSet = nullptr;
    TView3D* View3D = nullptr;
};
