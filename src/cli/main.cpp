#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "core/Message.h"

int main(int argc, char** argv) {
    // Number texts are read and written with a decimal point whatever the
    // user's locale says.
    std::setlocale(LC_NUMERIC, "C");
    // What the window shows in a message box goes to stderr, one text a line.
    SetMessageHandler([](const std::string& text) {
        std::fputs(text.c_str(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
    });
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::printf("morvaplot-cli %s\n", MORVAPLOT_VERSION);
        return 0;
    }
    return RunCli(args, stdout, stderr);
}
