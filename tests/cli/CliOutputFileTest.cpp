#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "support/SampleFiles.h"

namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

class CliOutputFile : public CliTestBase {};

// The files the tool writes, on a full disk and on targets that are no plain
// file: every failure exits 1 with one line giving the system's reason, and
// leaves the old file as it was.
TEST_F(CliOutputFile, HostileTargets) {
    const std::string dome = Write("dome.thk", DomeThk(100, 10, false));
    const std::string b = Write("b.thk", DomeThk(100, 10, false, 900.0));
    // Files may grow to 512 bytes (dash counts 512-byte blocks), enough for a
    // message, not for an output; SIGXFSZ ignored, so a write fails with EFBIG
    // as on a full disk.
    const std::string fullDisk = "ulimit -f 1; trap '' XFSZ; ";
    const auto old = [this](const char* name) { return Write(name, "old"); };
    const auto tooLarge = [](const std::string& path) {
        return "morvaplot-cli: cannot write " + path + ": File too large\n";
    };
    // A character device like /dev/null; where the test may not make one (not
    // root), /dev/null itself, which such a process cannot replace anyway
    // (root without the right to make devices skips the case).
    const std::string null = PathOf("null");
    const bool copied = ::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const std::string nullTarget = copied ? null : ::geteuid() == 0 ? "" : "/dev/null";
    const std::string fifo = PathOf("fifo.png");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Write("real.png", "old");
    fs::create_symlink("real.png", PathOf("link.png"));
    const std::string latin1 = PathOf("caf\xE9.thk");
    const std::string latin1Input = Write("lat\xEF.thk", DomeThk(100, 10, false));
    const std::string csvInput = Write("a.csv", "x,y,thickness\n0,0,1\n");

    struct Case {
        const char* label;
        std::vector<std::string> args;
        std::string before;      // shell text before the command
        std::string stdoutPath;  // empty: captured
        int status;
        std::string err;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"image on a full disk",
         {"image", dome, "--data", "fill", "--out", old("m.png")},
         fullDisk,
         "",
         1,
         tooLarge(PathOf("m.png")),
         [&] { EXPECT_EQ(Slurp(PathOf("m.png")), "old"); }},
        {"random on a full disk",
         {"random", "--size", "200", "--count", "300", "--out", old("r.thk")},
         fullDisk,
         "",
         1,
         tooLarge(PathOf("r.thk")),
         [&] { EXPECT_EQ(Slurp(PathOf("r.thk")), "old"); }},
        {"diff as CSV on a full disk",
         {"diff", dome, b, "--out", old("d.csv")},
         fullDisk,
         "",
         1,
         tooLarge(PathOf("d.csv")),
         [&] { EXPECT_EQ(Slurp(PathOf("d.csv")), "old"); }},
        {"diff as a picture on a full disk",
         {"diff", dome, b, "--out", old("d.png")},
         fullDisk,
         "",
         1,
         // The annotated picture goes through the pictures' own message.
         "File write error. -> " + PathOf("d.png") + ": File too large\n",
         [&] { EXPECT_EQ(Slurp(PathOf("d.png")), "old"); }},
        {"a FIFO nobody reads",
         {"image", dome, "--out", fifo},
         "",
         "",
         1,
         "morvaplot-cli: cannot write " + fifo + ": no process reads from the FIFO\n",
         [&] { EXPECT_TRUE(S_ISFIFO(ModeOf(fifo))); }},
        {"a character device takes the picture",
         {"image", dome, "--out", nullTarget},
         "",
         "",
         0,
         "",
         [&] { EXPECT_TRUE(S_ISCHR(ModeOf(nullTarget))); }},
        {"a symbolic link stays, its target gets the picture",
         {"image", dome, "--out", PathOf("link.png")},
         "",
         "",
         0,
         "",
         [&] {
             EXPECT_TRUE(S_ISLNK(ModeOf(PathOf("link.png"))));
             EXPECT_EQ(Slurp(PathOf("real.png")).substr(0, 4), "\x89PNG");
         }},
        {"a Latin-1 name is kept byte for byte",
         {"random", "--out", latin1},
         "",
         "",
         0,
         "",
         [&] { EXPECT_TRUE(S_ISREG(ModeOf(latin1))); }},
        {"an output that is an input, through another name",
         {"report", dome, "--out", PathOf("./r1.pdf"), "--summary", PathOf("r1.pdf")},
         "",
         "",
         2,
         "morvaplot-cli: --summary must name another file than --out\n",
         [&] { EXPECT_FALSE(fs::exists(PathOf("r1.pdf"))); }},
        {"diff over its first input",
         {"diff", csvInput, b, "--csv", "--out", csvInput},
         "",
         "",
         2,
         "morvaplot-cli: --out names an input: " + csvInput + "\n",
         [&] { EXPECT_EQ(Slurp(csvInput), "x,y,thickness\n0,0,1\n"); }},
        {"a centre without its wafer",
         {"analyze", dome, "--center", "10,10"},
         "",
         "",
         2,
         "morvaplot-cli: --center needs --wafer\nTry 'morvaplot-cli analyze --help'.\n",
         [] {}},
        {"no data inside the wafer",
         {"analyze", dome, "--wafer", "200", "--center", "450,450"},
         "",
         "",
         1,
         "There is no data inside the wafer.\n",
         [] {}},
        {"a profile end far beyond 2^53 ends at once",
         {"analyze", dome, "--data", "fill", "--profile", "100000000000000000000000,0,0,1"},
         "",
         "",
         0,
         "",
         [] {}},
        {"a pasted last line without its line break",
         {"stats", "--xyz", Write("two.txt", "100\t\n1\t2\t3\n4\t5\t6")},
         "",
         "",
         0,
         "",
         [] {}},
        {"a JSON file name that is not UTF-8", {"analyze", latin1Input, "--json"}, "", "", 0, "", [] {}},
        {"UTF-16 text is named as such",
         {"stats", Write("utf16.thk", std::string("\xFF\xFE"
                                                  "5\0"
                                                  "0\0",
                                                  6))},
         "",
         "",
         1,
         "The file is UTF-16 text: save it as UTF-8. -> " + PathOf("utf16.thk") + "\n",
         [] {}},
        {"a huge bad field is quoted in 40 characters",
         {"stats", "--csv", Write("huge.csv", "x,y,thickness\n1,2," + std::string(100000, 'q') + "\n")},
         "",
         "",
         1,
         "CSV data error. -> '" + std::string(40, 'q') + "...' Line: 2\n",
         [] {}},
        {"--version on a full device",
         {"--version"},
         "",
         "/dev/full",
         1,
         "morvaplot-cli: cannot write the output: No space left on device\n",
         [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (std::find(c.args.begin(), c.args.end(), "") != c.args.end()) continue;
        const CliRun run = Run(c.args, c.before, c.stdoutPath);
        EXPECT_EQ(run.Status, c.status);
        EXPECT_EQ(run.Err, c.err);
        c.check();
    }
    // The report's failure goes through its own message.
    const CliRun report = Run({"report", dome, "--out", old("r.pdf")}, fullDisk, "");
    EXPECT_EQ(report.Status, 1);
    EXPECT_NE(report.Err.find("File write error. -> " + PathOf("r.pdf") + ": File too large\n"),
              std::string::npos)
        << report.Err;
    EXPECT_EQ(Slurp(PathOf("r.pdf")), "old");
}

}  // namespace
