#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "cli/StandardOutput.h"

namespace {

// The folder of this program's file, with a trailing slash; empty when the
// system does not tell.
std::string ProgramFolder() {
    std::vector<char> path(4096);
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
    const std::string file(path.data(), static_cast<std::size_t>(length));
    return file.substr(0, file.rfind('/') + 1);
}

// Hands a command that needs Qt to morvaplot-cli-qt: that program replaces
// this one in the same process, with the same arguments and environment, so
// its output, messages and exit status are the command's own. It lies where
// the installation puts it, or, in the build folder, beside this program.
// Returns only when it could not be started.
int RunQtProgram(char** argv, std::FILE* err) {
    const std::string folder = ProgramFolder();
    const std::string installed = folder + MORVAPLOT_CLI_QT_INSTALLED;
    ::execv(installed.c_str(), argv);
    const int reason = errno;
    ::execv((folder + "morvaplot-cli-qt").c_str(), argv);
    std::fprintf(err, "morvaplot-cli: cannot run %s: %s\n", installed.c_str(), std::strerror(reason));
    return ExitFailed;
}

// Threads that wait for work sleep instead of spinning (see
// core/PassiveWait.cpp, which the other programs use): the OpenMP runtime
// reads the policy once, when it starts, before main. This program starts
// threads only for the commands that calculate, and the rest of its start is
// short, so it does not start anew for every command as the other programs
// do, only for those; the commands it hands over take the policy with the
// environment. A policy the user set is kept.
void ChoosePassiveWait(const std::vector<std::string>& args, char** argv) {
    if (std::getenv("OMP_WAIT_POLICY") != nullptr) return;
    CliOptions options;
    if (ParseCommandLine(args, options).Status != ParseStatus::Run || options.Command == CliCommand::Stats)
        return;
    ::setenv("OMP_WAIT_POLICY", "passive", 0);
    if (!NeedsQt(options)) ::execv("/proc/self/exe", argv);
}

}  // namespace

int main(int argc, char** argv) {
    // Number texts are read and written with a decimal point whatever the
    // user's locale says.
    std::setlocale(LC_NUMERIC, "C");
    // What the window shows in a message box goes to stderr, one text a line:
    // the route of a thread that has none.
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("morvaplot-cli %s\n", MORVAPLOT_VERSION);
        return FinishStandardOutput(ExitOk, stderr);
    }
    ChoosePassiveWait(args, argv);
    // Nothing has been written when a command is handed over.
    const int status = RunCliWith(
        args, stdout, stderr,
        [argv](const CliOptions&, CommandOutput&, std::FILE* err) { return RunQtProgram(argv, err); });
    return FinishStandardOutput(status, stderr);
}
