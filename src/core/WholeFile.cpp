#include "core/WholeFile.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <utility>

namespace {

// Links followed before giving up, as the system's own limit.
constexpr int MaxLinkHops = 40;

FileWriteResult Failed(WriteResult result, int error, std::string reason = {}) {
    if (reason.empty()) {
        char buffer[256];
        reason = ::strerror_r(error, buffer, sizeof buffer);
    }
    return {result, error, std::move(reason)};
}

// Where the bytes go: the file to replace (or create), with its links
// followed, or a device or FIFO to write into.
struct Target {
    std::string Path;
    bool Into = false;
    bool Exists = false;
    struct stat Info {};
};

// The folder part of path with its slash ("" for a bare name), to put before
// a name in the same folder.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The target of the symbolic link name; a relative one is taken from the
// link's folder.
int ReadLink(const std::string& name, std::string& target) {
    std::string text(PATH_MAX, '\0');
    for (;;) {
        const ssize_t n = ::readlink(name.c_str(), text.data(), text.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) < text.size()) {
            text.resize(static_cast<std::size_t>(n));
            break;
        }
        text.resize(text.size() * 2);
    }
    target = !text.empty() && text.front() == '/' ? text : FolderOf(name) + text;
    return 0;
}

// Follows the links that path itself is, up to the name that is none (and may
// not exist yet: a dangling link's target is created). Links among the folders
// on the way stay as they are; the rename happens in the final folder.
int ResolveLinks(const std::string& path, Target& target) {
    std::string name = path;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(name.c_str(), &info) != 0) {
            if (errno != ENOENT) return errno;
            target.Path = name;
            target.Exists = false;
            return 0;
        }
        if (!S_ISLNK(info.st_mode)) {
            target.Path = name;
            target.Exists = true;
            target.Info = info;
            return 0;
        }
        if (const int error = ReadLink(name, name)) return error;
    }
    return ELOOP;
}

FileWriteResult FindTarget(const std::string& path, Target& target) {
    if (path.empty()) return Failed(WriteResult::OpenFailed, ENOENT);
    // stat follows every link the system knows, /proc/self/fd/N included.
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return Failed(WriteResult::OpenFailed, errno);
    if (exists && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))) {
        target.Path = path;
        target.Into = true;
        return {};
    }
    if (exists && S_ISDIR(info.st_mode)) return Failed(WriteResult::OpenFailed, EISDIR);
    if (exists && !S_ISREG(info.st_mode))
        return Failed(WriteResult::OpenFailed, EINVAL, "not a regular file, device or FIFO");
    if (exists && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return Failed(WriteResult::OpenFailed, errno);
    if (const int error = ResolveLinks(path, target)) return Failed(WriteResult::OpenFailed, error);
    // A name to replace must be the file stat found (a /proc/self/fd link to
    // a deleted file names none).
    if (exists && (!target.Exists || target.Info.st_dev != info.st_dev || target.Info.st_ino != info.st_ino))
        return Failed(WriteResult::OpenFailed, ENOENT);
    return {};
}

// Creates a temporary file of a unique name beside path with the given mode
// (less the umask, as the system applies it to every new file). Exclusive
// creation never opens a file or link someone else put there.
int CreateTemporary(const std::string& path, mode_t mode, int& fd, std::string& temporary) {
    constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t Suffix = 7;  // '.' and six letters
    // A name near the longest allowed leaves room for the suffix.
    const std::string folder = FolderOf(path);
    std::string base = path.substr(folder.size());
    if (base.size() > NAME_MAX - Suffix) base.resize(NAME_MAX - Suffix);
    std::random_device device;
    std::uniform_int_distribution<std::size_t> letter(0, sizeof Letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + base + '.';
        for (std::size_t i = 1; i < Suffix; ++i)
            temporary += Letters[letter(device)];
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) return 0;
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Writes all of bytes to fd: 0, or the reason of the first failure.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// The replaced file's owner (where the process may give it, i.e. as root) and
// permissions. The file was created with the old permissions less the umask,
// so when setting them fails it is never more open than the old one.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid))
        static_cast<void>(::fchown(fd, old.st_uid, old.st_gid));
    static_cast<void>(::fchmod(fd, old.st_mode & 07777));
}

// Makes a renamed entry survive a power loss; a folder that cannot be synced
// (some file systems refuse) leaves the rename as the system keeps it.
void SyncFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

FileWriteResult Replace(const Target& target, std::string_view bytes) {
    int fd = -1;
    std::string temporary;
    const mode_t mode = target.Exists ? (target.Info.st_mode & 0777) : 0666;
    if (const int error = CreateTemporary(target.Path, mode, fd, temporary))
        return Failed(WriteResult::OpenFailed, error);
    if (target.Exists) KeepOwnerAndMode(fd, target.Info);
    // The contents reach the disk before the name does, so a crash right
    // after the rename cannot leave an empty file in place of the old one. A
    // file system without fsync (EINVAL) keeps what it keeps.
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL) error = errno;
    // A network file system reports a failed write as late as the close.
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.Path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failed(WriteResult::WriteFailed, error);
    }
    SyncFolder(target.Path);
    return {};
}

// A device or a FIFO takes the bytes as they come; there is nothing to
// replace. A FIFO is opened without waiting: with no reader the open fails
// at once instead of blocking until one comes.
FileWriteResult WriteInto(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO) return Failed(WriteResult::OpenFailed, ENXIO, "no process reads from the FIFO");
        return Failed(WriteResult::OpenFailed, errno);
    }
    int error = 0;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) error = errno;
    if (error == 0) error = WriteAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) return Failed(WriteResult::WriteFailed, error);
    return {};
}

}  // namespace

FileWriteResult WriteFileWhole(const std::string& path, std::string_view bytes) {
    Target target;
    FileWriteResult found = FindTarget(path, target);
    if (!found.Written()) return found;
    return target.Into ? WriteInto(target.Path, bytes) : Replace(target, bytes);
}

FileWriteResult CheckFileWritable(const std::string& path) {
    Target target;
    FileWriteResult found = FindTarget(path, target);
    if (!found.Written()) return found;
    if (target.Into) {
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
            return Failed(WriteResult::OpenFailed, errno);
        return {};
    }
    int fd = -1;
    std::string temporary;
    if (const int error = CreateTemporary(target.Path, 0600, fd, temporary))
        return Failed(WriteResult::OpenFailed, error);
    ::close(fd);
    ::unlink(temporary.c_str());
    return {};
}
