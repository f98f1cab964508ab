#pragma once

// Runs the real morvaplot-cli binary in a scratch folder and captures its
// stdout, stderr and exit status. The display variables are removed from its
// environment, so every run also proves the tool needs no display.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"

struct CliRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

class CliTestBase : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return temp_.PathOf(name); }
    std::string Write(const std::string& name, const std::string& content) const {
        return temp_.Write(name, content);
    }
    static std::string Slurp(const std::string& path) { return ReadWholeFile(path); }

    CliRun Run(const std::vector<std::string>& args) const { return Run(args, "", ""); }

    // The same with shell text before the command (e.g. "ulimit -f 1;") and,
    // when stdoutPath is given, stdout sent there instead of captured.
    CliRun Run(const std::vector<std::string>& args, const std::string& shellBefore,
               const std::string& stdoutPath) const {
        std::string command = shellBefore + "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
        command += Quote(MORVAPLOT_CLI);
        for (const std::string& a : args) {
            command += ' ';
            command += Quote(a);
        }
        const std::string out = PathOf("stdout.txt");
        const std::string err = PathOf("stderr.txt");
        command += " >" + Quote(stdoutPath.empty() ? out : stdoutPath) + " 2>" + Quote(err) + " </dev/null";
        const int raw = std::system(command.c_str());
        CliRun run;
        run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.Out = stdoutPath.empty() ? Slurp(out) : std::string();
        run.Err = Slurp(err);
        return run;
    }

private:
    static std::string Quote(const std::string& s) {
        std::string q = "'";
        for (char c : s) {
            if (c == '\'')
                q += "'\\''";
            else
                q += c;
        }
        q += '\'';
        return q;
    }

    TempDir temp_;
};
