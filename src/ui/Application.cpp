#include "ui/Application.h"

#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>

#include "core/Message.h"

MorvaplotForms::MorvaplotForms(const QString& settingsDir, Dialogs& dialogs)
    : Form1(std::make_unique<TForm1>(settingsDir, dialogs)),
      Tenkey(std::make_unique<TTenkey>(Form1.get())),
      DataMake(std::make_unique<TDataMake>(Form1.get())),
      GradationSet(std::make_unique<TGradationSet>(Form1.get())),
      View3D(std::make_unique<TView3D>()) {
    Form1->AttachForms(Tenkey.get(), DataMake.get(), GradationSet.get(), View3D.get());
}

void InstallMessageBoxHandler() {
    SetMessageHandler([](const std::string& text) {
        QMessageBox box(QMessageBox::Information, QApplication::applicationName(),
                        QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}

void SetDefaultSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}
