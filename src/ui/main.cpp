#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>

#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace {

// One catch at the top of the event loop: an exception that escapes a handler
// is shown, and the program goes on.
class MorvaplotApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowMessageBox(e.what());
        } catch (...) {
            ShowMessageBox("Unknown error.");
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("morvaplot %s\n", MORVAPLOT_VERSION);
        return 0;
    }
    SetDefaultSurfaceFormat();

    MorvaplotApplication app(argc, argv);
    // Number texts are written with a decimal point whatever the desktop's locale.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Morvaplot"));

    StandardDialogs dialogs;
    // An installed program keeps its samples in the data folder beside bin/.
    const QDir samples(QCoreApplication::applicationDirPath() +
                       QStringLiteral("/../share/morvaplot/samples"));
    if (samples.exists()) dialogs.StartDirectory = samples.absolutePath();
    MorvaplotForms forms(QCoreApplication::applicationDirPath(), dialogs);
    forms.Form1->SetCommandLine(QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')));
    if (forms.Form1->StartupFailed()) return 1;

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        forms.Form1->move(area.center() - forms.Form1->rect().center());
    }
    forms.Form1->show();
    return app.exec();
}
