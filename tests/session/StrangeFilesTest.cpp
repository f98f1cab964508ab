#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/XyzText.h"
#include "session/Session.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// No controls: the radius optimisation is off, as the two-point file has too
// few points for it.
class NoScreen final : public SessionFrontEnd {
public:
    void ReadSettings(ViewSettings& settings) override { settings.RadOptimize = false; }
    void ShowMap(const ThkData&, const MapPlan&) override {}
    void ShowMessageText(const std::string& text) override { Messages.push_back(text); }
    std::vector<std::string> Messages;
};

const std::string GoodFile = "100\n10,10\n0,0,5,\n10,10,7,\n";

struct StrangeFile {
    const char* name;
    // Makes the file in the folder; returns the path handed to the load and
    // the one message that load must show.
    std::function<std::pair<std::string, std::string>(const TempDir&)> make;
};

// A file dropped on the window or given on the command line goes through
// Session::OpenFile. Whatever it is, the load shows one message, takes
// nothing of it, leaves the file loaded before as it was, and the next load
// works.
TEST(StrangeFiles, OneMessageNothingHalfLoadedAndTheNextLoadWorks) {
    const StrangeFile files[] = {
        {"NUL bytes",
         [](const TempDir& t) {
             return std::pair{t.Write("nul.thk", "100\n10,10\n0,0,1,\n0,10,2\0,\n"s),
                              "Incorrect data. -> '(00)' Line: 3"s};
         }},
        {"gone between the drop and the read",
         [](const TempDir& t) {
             const std::string path = t.Write("gone.thk", GoodFile);
             fs::remove(path);
             return std::pair{path, "File open error. -> " + path};
         }},
        {"a folder named like a .thk file",
         [](const TempDir& t) {
             fs::create_directory(t.Root() / "scan.thk");
             return std::pair{t.PathOf("scan.thk"), "File open error. -> " + t.PathOf("scan.thk")};
         }},
        {"a FIFO named like a .thk file (reading it would wait for a writer)",
         [](const TempDir& t) {
             const std::string path = t.PathOf("pipe.thk");
             EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
             return std::pair{path, "File open error. -> " + path};
         }},
        {"a read error after the open",
         [](const TempDir&) {
             return std::pair{"/proc/self/mem"s, "File read error. -> /proc/self/mem"s};
         }},
    };
    TempDir temp;
    NoScreen screen;
    Session session(screen);
    const std::string good = temp.Write("good.thk", GoodFile);
    for (const StrangeFile& f : files) {
        SCOPED_TRACE(f.name);
        ASSERT_EQ(session.OpenFile(good), 1);
        const auto [path, message] = f.make(temp);
        screen.Messages.clear();
        EXPECT_EQ(session.OpenFile(path), -1);
        EXPECT_EQ(screen.Messages, std::vector<std::string>{message});
        EXPECT_TRUE(session.Record(DataKind::Raw).Valid);
        EXPECT_EQ(session.Record(DataKind::Raw).Count, 2);
        EXPECT_EQ(session.Record(DataKind::Raw).Value[10][10], 7.0);
        EXPECT_TRUE(session.Enabled().Calc);
    }
    ASSERT_EQ(session.OpenFile(good), 1);
    EXPECT_EQ(session.Record(DataKind::Raw).Value[10][10], 7.0);
}

// An editor's UTF-8 byte-order mark before the Size of a file, or before the
// header of pasted text, is passed over.
TEST(StrangeFiles, ByteOrderMarkIsPassedOver) {
    TempDir temp;
    NoScreen screen;
    Session session(screen);
    EXPECT_EQ(session.OpenFile(temp.Write("bom.thk", "\xEF\xBB\xBF" + GoodFile)), 1);
    EXPECT_EQ(session.Record(DataKind::Raw).Value[10][10], 7.0);
    EXPECT_EQ(session.Open([](ThkData& raw, const MessageSink& messages) {
        return PasteXyzText(
            "\xEF\xBB\xBF"
            "100\t0\n10\t20\t3.5\n",
            raw, messages);
    }),
              1);
    EXPECT_EQ(session.Record(DataKind::Raw).Value[10][20], 3.5);
    EXPECT_EQ(screen.Messages, std::vector<std::string>{});
}

TEST(StrangeFiles, PathWithBlanksAndNonAsciiLetters) {
    TempDir temp;
    fs::create_directory(temp.Root() / "Messung März 2024");
    const std::string path = temp.Write("Messung März 2024/Schichtdicke größe ✓ 膜厚.thk", GoodFile);
    NoScreen screen;
    Session session(screen);
    EXPECT_EQ(session.OpenFile(path), 1);
    EXPECT_EQ(screen.Messages, std::vector<std::string>{});
    EXPECT_EQ(session.Record(DataKind::Raw).Count, 2);
}

}  // namespace
