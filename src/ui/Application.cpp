#include "ui/Application.h"

#include "ui/Dialogs.h"

MorvaplotForms::MorvaplotForms(const QString& settingsDir, Dialogs& dialogs)
    : Form1(std::make_unique<TForm1>(settingsDir, dialogs)),
      Tenkey(new TTenkey(dialogs.Messages(), Form1.get())),
      DataMake(new TDataMake(Form1.get(), Tenkey)),
      GradationSet(new TGradationSet(dialogs, Tenkey, Form1.get())),
      View3D(new TView3D(Form1.get(), dialogs)) {
    Form1->AttachForms(Tenkey, DataMake, GradationSet, View3D);
}
