#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "core/TextFile.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(TextFile, ReplacementKeepsPermissionsAndFailuresLeaveNothingBehind) {
    TempDir temp;
    const std::string path = temp.Write("setting.dat", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    EXPECT_EQ(ReplaceFileContents(path, "new"), WriteResult::Written);
    EXPECT_EQ(ReadWholeFile(path), "new");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    fs::create_directories(temp.Root() / "taken.dat" / "inside");
    EXPECT_EQ(ReplaceFileContents(temp.PathOf("taken.dat"), "x"), WriteResult::WriteFailed);
    EXPECT_EQ(ReplaceFileContents(temp.PathOf("no-such-folder/x.dat"), "x"), WriteResult::OpenFailed);
    EXPECT_EQ(Entries(temp.Root()), (std::set<std::string>{"setting.dat", "taken.dat"}));

    std::string text = "kept";
    EXPECT_FALSE(ReadTextFile(temp.PathOf("taken.dat"), text));
    EXPECT_EQ(text, "kept");
}

// A writer killed at any moment leaves the old file or the complete new one,
// never a mixture or a cut file.
TEST(TextFile, KilledWriterLeavesOneWholeVersion) {
    TempDir temp;
    const std::string a(1 << 20, 'a');
    const std::string b = std::string((1 << 20) + 4096, 'b');
    const std::string path = temp.Write("colorset.dat", a);
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);
    for (int round = 0; round < 100; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                ReplaceFileContents(path, i % 2 == 0 ? b : a);
        }
        ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::string content = ReadWholeFile(path);
        ASSERT_TRUE(content == a || content == b) << "round " << round << ": " << content.size() << " bytes";
    }
}

}  // namespace
