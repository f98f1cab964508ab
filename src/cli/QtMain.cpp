// morvaplot-cli-qt: the commands of morvaplot-cli that need Qt (see
// cli/CliRun.h). morvaplot-cli hands them over by running this program in
// its own place, with the same arguments; run directly, it is the whole tool.

#include <QGuiApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/StandardOutput.h"
#include "render3d/GlInfo.h"

namespace {

// Qt's own notes (a missing XDG_RUNTIME_DIR, a font fallback) say nothing a
// user of the tool did wrong: only its critical and fatal messages reach
// stderr. The tool's own messages never go through Qt's.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietQtNotes);
    // Number texts are read and written with a decimal point whatever the
    // user's locale says.
    std::setlocale(LC_NUMERIC, "C");
    // What the window shows in a message box goes to stderr, one text a line:
    // the route of a thread that has none.
    std::vector<std::string> args(argv + 1, argv + argc);
    // Only the 3D picture needs the window system; every other command runs
    // without a display.
    std::unique_ptr<QGuiApplication> app;
    const bool help = std::find(args.begin(), args.end(), "--help") != args.end();
    if (!args.empty() && args[0] == "view3d" && !help &&
        (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))) {
        SetDefaultSurfaceFormat();
        app = std::make_unique<QGuiApplication>(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    return FinishStandardOutput(RunCli(args, stdout, stderr), stderr);
}
