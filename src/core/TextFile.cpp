#include "core/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

bool ReadTextFile(const std::string& path, std::string& text) {
    std::FILE* file = OpenRegularFile(path);
    if (!file) return false;
    std::string content;
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, n);
    // A read error (a folder opens but cannot be read) is no file, never an
    // empty or cut text.
    const bool complete = std::ferror(file) == 0;
    std::fclose(file);
    if (!complete) return false;
    text = std::move(content);
    return true;
}

namespace {

// Writes all of text to fd; false on any failure.
bool WriteAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Makes a renamed entry survive a power loss; a folder that cannot be synced
// (some file systems refuse) leaves the rename as the system keeps it.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The mode a new file gets from the process (0666 less the umask).
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

WriteResult ReplaceFileContents(const std::string& path, const std::string& text) {
    const std::filesystem::path target(path);
    // A name of its own in the same folder (so the rename stays on one file
    // system), never one that another writer or a planted link could hold.
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return WriteResult::OpenFailed;
    // mkostemp creates the file for its owner only; the replacement keeps the
    // old file's permissions, or those of any new file.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    // The contents reach the disk before the name does, so a crash right
    // after the rename cannot leave an empty file in place of the old one.
    bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return WriteResult::WriteFailed;
    }
    SyncFolder(target.parent_path());
    return WriteResult::Written;
}

WordNumberReader::WordNumberReader(const std::string& text, std::size_t maxWordLength)
    : text_(text), maxWordLength_(maxWordLength) {}

void WordNumberReader::SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_]))
        ++pos_;
}

bool WordNumberReader::SkipWord() {
    SkipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsBlank(text_[pos_]))
        ++pos_;
    const std::size_t length = pos_ - start;
    if (length == 0 || length > maxWordLength_) return false;
    SkipBlanks();
    return true;
}

bool WordNumberReader::NextInt(int& value) {
    if (!SkipWord()) return false;
    const char* first = text_.data() + pos_;
    const char* last = text_.data() + text_.size();
    // from_chars takes a minus sign but no plus sign.
    const char* digits = first != last && *first == '+' ? first + 1 : first;
    if (digits != first && digits != last && *digits == '-') return false;
    int v = 0;
    const auto result = std::from_chars(digits, last, v);
    if (result.ec != std::errc()) return false;
    pos_ += static_cast<std::size_t>(result.ptr - first);
    value = v;
    return true;
}

bool WordNumberReader::NextFloat(float& value) {
    if (!SkipWord()) return false;
    const char* first = text_.data() + pos_;
    const char* last = text_.data() + text_.size();
    const char* number = first != last && *first == '+' ? first + 1 : first;
    if (number != first && number != last && *number == '-') return false;
    float v = 0.0f;
    const auto result = std::from_chars(number, last, v, std::chars_format::general);
    if (result.ec != std::errc()) return false;
    pos_ += static_cast<std::size_t>(result.ptr - first);
    value = v;
    return true;
}
