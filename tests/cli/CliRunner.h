#pragma once

// Runs the real morvaplot-cli binary in a scratch folder and captures its
// stdout, stderr and exit status. The display variables are removed from its
// environment, so every run also proves the tool needs no display.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct CliRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

class CliTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("morvaplot-cli-" + std::to_string(getpid()) + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    std::string Write(const std::string& name, const std::string& content) const {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    CliRun Run(const std::vector<std::string>& args) const {
        std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
        command += Quote(MORVAPLOT_CLI);
        for (const std::string& a : args) {
            command += ' ';
            command += Quote(a);
        }
        const std::string out = PathOf("stdout.txt");
        const std::string err = PathOf("stderr.txt");
        command += " >";
        command += Quote(out);
        command += " 2>";
        command += Quote(err);
        command += " </dev/null";
        const int raw = std::system(command.c_str());
        CliRun run;
        run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.Out = Slurp(out);
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

    std::filesystem::path dir_;
};
