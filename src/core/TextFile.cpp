#include "core/TextFile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

WriteResult ReplaceFileContents(const std::string& path, const std::string& text) {
    const std::filesystem::path target(path);
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return WriteResult::OpenFailed;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    std::error_code error;
    if (!out) {
        std::filesystem::remove(temporary, error);
        return WriteResult::WriteFailed;
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return WriteResult::WriteFailed;
    }
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
