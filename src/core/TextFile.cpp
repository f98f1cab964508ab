#include "core/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
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
