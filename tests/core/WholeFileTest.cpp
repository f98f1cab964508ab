#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>

#include "core/WholeFile.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// WriteFileWhole in a child process whose files may grow to limit bytes at
// most, as a full disk stops a write; SIGXFSZ is ignored, so the write fails
// with EFBIG instead of ending the process.
FileWriteResult WriteLimited(const std::string& path, const std::string& bytes, rlim_t limit) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {WriteResult::OpenFailed, errno, "pipe"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
        const FileWriteResult written = WriteFileWhole(path, bytes);
        const std::string report = std::to_string(static_cast<int>(written.Result)) + ' ' +
                                   std::to_string(written.Error) + ' ' + written.Reason;
        static_cast<void>(::write(pipeFds[1], report.data(), report.size()));
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    FileWriteResult result;
    std::size_t reasonAt = 0;
    const int kind = std::stoi(report, &reasonAt);
    result.Result = static_cast<WriteResult>(kind);
    std::size_t errorEnd = 0;
    result.Error = std::stoi(report.substr(reasonAt + 1), &errorEnd);
    result.Reason = report.substr(reasonAt + 1 + errorEnd + 1);
    return result;
}

// A character device in folder like the system's /dev/<name> (major 1), or,
// where the process may not make one (not root), the system's own: that one
// it cannot replace either way. Empty (the case is skipped) for root without
// the right to make devices: a fault would replace the system's own.
std::string DeviceCopy(const fs::path& folder, const char* name, unsigned minor) {
    const std::string copy = (folder / name).string();
    if (::mknod(copy.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0) return copy;
    return ::geteuid() == 0 ? std::string() : std::string("/dev/") + name;
}

// The hostile targets a user, a tester or a dotfile manager can hand the
// writer. Each case runs in a folder of its own; what the folder holds
// afterwards shows that no temporary file was left behind.
TEST(WholeFile, HostileTargets) {
    TempDir temp;
    const std::string bytes = "new content\n";
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    int reader = -1;
    const fs::path start = fs::current_path();

    struct Case {
        const char* label;
        std::function<std::string(const fs::path&)> make;  // the path to write
        WriteResult result;
        const char* reason;
        std::function<void(const fs::path&, const std::string&)> check;
        rlim_t limit = RLIM_INFINITY;
        bool unlessRoot = false;  // root may write any folder
    };
    const auto old = [](const fs::path& folder, const char* name = "f.dat") {
        std::ofstream((folder / name).string(), std::ios::binary) << "old";
        return (folder / name).string();
    };
    const auto keptOld = [](const fs::path& folder, const std::string& path) {
        EXPECT_EQ(ReadWholeFile(path), "old");
        EXPECT_EQ(Entries(folder), std::set<std::string>{"f.dat"});
    };
    const Case cases[] = {
        {"a regular file keeps its permissions",
         [&](const fs::path& f) {
             const std::string path = old(f);
             ::chmod(path.c_str(), 0640);
             return path;
         },
         WriteResult::Written, "",
         [&](const fs::path& f, const std::string& path) {
             EXPECT_EQ(ReadWholeFile(path), bytes);
             EXPECT_EQ(ModeOf(path), S_IFREG | 0640);
             EXPECT_EQ(Entries(f), std::set<std::string>{"f.dat"});
         }},
        {"a new file gets 0666 less the umask", [](const fs::path& f) { return (f / "f.dat").string(); },
         WriteResult::Written, "",
         [&](const fs::path&, const std::string& path) {
             EXPECT_EQ(ReadWholeFile(path), bytes);
             EXPECT_EQ(ModeOf(path), S_IFREG | (0666 & ~umaskNow));
         }},
        {"a full disk keeps the old file", [&](const fs::path& f) { return old(f); },
         WriteResult::WriteFailed, "File too large", keptOld, 4},
        {"a full disk, new file: nothing left", [](const fs::path& f) { return (f / "f.dat").string(); },
         WriteResult::WriteFailed, "File too large",
         [](const fs::path& f, const std::string&) { EXPECT_TRUE(Entries(f).empty()); }, 4},
        {"a FIFO nobody reads is refused, not waited for",
         [](const fs::path& f) {
             const std::string path = (f / "f.dat").string();
             ::mkfifo(path.c_str(), 0600);
             return path;
         },
         WriteResult::OpenFailed, "no process reads from the FIFO",
         [](const fs::path&, const std::string& path) { EXPECT_TRUE(S_ISFIFO(ModeOf(path))); }},
        {"a FIFO with a reader is written into",
         [&](const fs::path& f) {
             const std::string path = (f / "f.dat").string();
             ::mkfifo(path.c_str(), 0600);
             reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
             return path;
         },
         WriteResult::Written, "",
         [&](const fs::path&, const std::string& path) {
             char got[64] = {};
             EXPECT_EQ(::read(reader, got, sizeof got), static_cast<ssize_t>(bytes.size()));
             EXPECT_EQ(std::string(got), bytes);
             ::close(reader);
             EXPECT_TRUE(S_ISFIFO(ModeOf(path)));
         }},
        {"a character device (null) takes the bytes and stays a device",
         [](const fs::path& f) { return DeviceCopy(f, "null", 3); }, WriteResult::Written, "",
         [](const fs::path&, const std::string& path) { EXPECT_TRUE(S_ISCHR(ModeOf(path))); }},
        {"a character device that fails (full) is reported",
         [](const fs::path& f) { return DeviceCopy(f, "full", 7); }, WriteResult::WriteFailed,
         "No space left on device",
         [](const fs::path&, const std::string& path) { EXPECT_TRUE(S_ISCHR(ModeOf(path))); }},
        {"a symbolic link named without a folder stays; its target gets the bytes",
         [&](const fs::path& f) {
             old(f, "real.dat");
             fs::create_symlink("real.dat", f / "f.dat");
             fs::current_path(f);
             return std::string("f.dat");
         },
         WriteResult::Written, "",
         [&](const fs::path& f, const std::string&) {
             fs::current_path(start);
             EXPECT_TRUE(S_ISLNK(ModeOf((f / "f.dat").string())));
             EXPECT_EQ(ReadWholeFile((f / "real.dat").string()), bytes);
             EXPECT_EQ(Entries(f), (std::set<std::string>{"f.dat", "real.dat"}));
         }},
        {"a dangling link: its target is made",
         [](const fs::path& f) {
             fs::create_symlink("made.dat", f / "f.dat");
             return (f / "f.dat").string();
         },
         WriteResult::Written, "",
         [&](const fs::path& f, const std::string& path) {
             EXPECT_TRUE(S_ISLNK(ModeOf(path)));
             EXPECT_EQ(ReadWholeFile((f / "made.dat").string()), bytes);
         }},
        {"a name that is no UTF-8 (Latin-1) is kept byte for byte",
         [](const fs::path& f) { return f.string() + "/caf\xE9.dat"; }, WriteResult::Written, "",
         [&](const fs::path& f, const std::string& path) {
             EXPECT_EQ(ReadWholeFile(path), bytes);
             EXPECT_EQ(Entries(f), std::set<std::string>{"caf\xE9.dat"});
         }},
        {"a folder is refused",
         [](const fs::path& f) {
             fs::create_directories(f / "f.dat" / "inside");
             return (f / "f.dat").string();
         },
         WriteResult::OpenFailed, "Is a directory",
         [](const fs::path& f, const std::string&) {
             EXPECT_TRUE(fs::is_directory(f / "f.dat" / "inside"));
         }},
        {"no such folder", [](const fs::path& f) { return (f / "none" / "f.dat").string(); },
         WriteResult::OpenFailed, "No such file or directory",
         [](const fs::path& f, const std::string&) { EXPECT_TRUE(Entries(f).empty()); }},
        {"a read-only folder keeps the old file",
         [&](const fs::path& f) {
             const std::string path = old(f);
             ::chmod(f.c_str(), 0555);
             return path;
         },
         WriteResult::OpenFailed, "Permission denied",
         [&](const fs::path& f, const std::string& path) {
             ::chmod(f.c_str(), 0755);
             keptOld(f, path);
         },
         RLIM_INFINITY, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.unlessRoot && ::geteuid() == 0) continue;
        const fs::path folder = temp.Root() / std::to_string(n++);
        fs::create_directories(folder);
        const std::string path = c.make(folder);
        if (path.empty()) continue;
        const FileWriteResult written =
            c.limit == RLIM_INFINITY ? WriteFileWhole(path, bytes) : WriteLimited(path, bytes, c.limit);
        EXPECT_EQ(written.Result, c.result);
        EXPECT_EQ(written.Reason, c.reason);
        c.check(folder, path);
    }
}

// A writer killed at any moment leaves the old file or the complete new one,
// never a mixture or a cut file.
TEST(WholeFile, KilledWriterLeavesOneWholeVersion) {
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
                WriteFileWhole(path, i % 2 == 0 ? b : a);
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
