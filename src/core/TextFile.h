#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// The byte-order mark some editors put at the start of a UTF-8 text.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// Reading the small settings and data files whole, and the "word number"
// pairs the settings files hold. Files are written by core/WholeFile.h.

// The file opened for reading ("rb") when it is a regular file (or a link to
// one); nullptr for anything else. A FIFO or a device named like a data file
// would block the read or never end: it is opened without waiting and refused.
std::FILE* OpenRegularFile(const std::string& path);

// The whole file as bytes; false, with text unchanged, when it cannot be
// opened or read to its end (a folder, a FIFO, a read error).
bool ReadTextFile(const std::string& path, std::string& text);

// Reads pairs of a word and a number as "%s %d" and "%s %f" scanning does:
// blanks and line breaks (LF or CR LF) before each item are skipped, the word
// is any run of non-blank characters and is never compared, the number
// follows. Reading stops being useful at the first failure.
class WordNumberReader {
public:
    // maxWordLength: longer words fail the pair (the default takes any length).
    explicit WordNumberReader(const std::string& text, std::size_t maxWordLength = std::string::npos);

    // A word, then a decimal integer with an optional sign; false at the end
    // of the text, without an integer, or for one outside the int range.
    bool NextInt(int& value);
    // A word, then a number read as a 32-bit float ("80" reads as 80.0);
    // false at the end of the text or without a number.
    bool NextFloat(float& value);

private:
    bool SkipWord();
    void SkipBlanks();

    const std::string& text_;
    std::size_t maxWordLength_;
    std::size_t pos_ = 0;
};
