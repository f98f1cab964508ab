#include "data/CsvText.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "core/TextFile.h"

std::vector<CsvLine> SplitCsvLines(std::string_view text) {
    if (text.starts_with(Utf8ByteOrderMark)) text.remove_prefix(Utf8ByteOrderMark.size());
    std::vector<CsvLine> lines;
    int number = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
        const std::string_view line = text.substr(start, i - start);
        if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back({line, number});
        // CR LF is one line end.
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
        ++number;
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view field) {
    const std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = field.find_last_not_of(" \t");
    return field.substr(first, last - first + 1);
}

CsvDelimiter DetectCsvDelimiter(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return CsvDelimiter::Tab;
    if (line.find(';') != std::string_view::npos) return CsvDelimiter::Semicolon;
    if (line.find(',') != std::string_view::npos) return CsvDelimiter::Comma;
    return CsvDelimiter::Blanks;
}

namespace {

std::vector<std::string> SplitAtBlanks(std::string_view line, bool header) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        const std::string_view field = line.substr(start, i - start);
        if (header && !fields.empty() && (field.front() == '(' || field.front() == '['))
            fields.back().append(" ").append(field);
        else
            fields.emplace_back(field);
    }
    return fields;
}

}  // namespace

std::vector<std::string> SplitCsvFields(std::string_view line, CsvDelimiter delimiter, bool header) {
    if (delimiter == CsvDelimiter::Blanks) return SplitAtBlanks(line, header);
    const char separator = delimiter == CsvDelimiter::Tab         ? '\t'
                           : delimiter == CsvDelimiter::Semicolon ? ';'
                                                                  : ',';
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const bool end = i == line.size();
        const char c = end ? separator : line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else if (!end) {
                field += c;
            } else {
                fields.emplace_back(TrimBlanks(field));
            }
            continue;
        }
        if (c == separator) {
            fields.emplace_back(TrimBlanks(field));
            field.clear();
        } else if (c == '"' && TrimBlanks(field).empty()) {
            field.clear();
            quoted = true;
        } else {
            field += c;
        }
    }
    return fields;
}

std::size_t UsedFieldCount(const std::vector<std::string>& fields) {
    std::size_t n = fields.size();
    while (n > 0 && fields[n - 1].empty())
        --n;
    return n;
}

namespace {

// A finite number in C notation that is the whole text.
bool ParseFinite(std::string_view text, double& value) {
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

CsvNumber ReadCsvNumber(std::string_view field, bool decimalComma, double& value) {
    field = TrimBlanks(field);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    const char mark = decimalComma ? ',' : '.';
    const char other = decimalComma ? '.' : ',';
    if (!decimalComma && field.find_first_of(", \t") == std::string_view::npos)
        return ParseFinite(field, value) ? CsvNumber::Read : CsvNumber::Unreadable;
    // The number with its decimal mark as a point and without what could
    // only be thousands separators; fields are short, so the copy stays in
    // the string's own buffer.
    std::string plain;
    bool grouped = false;
    for (const char c : field) {
        if (c == other || c == ' ' || c == '\t')
            grouped = true;
        else
            plain += c == mark ? '.' : c;
    }
    if (!ParseFinite(plain, value)) return CsvNumber::Unreadable;
    return grouped ? CsvNumber::Grouped : CsvNumber::Read;
}

bool ReadCsvWholeNumber(std::string_view field, int& value) {
    field = TrimBlanks(field);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty()) return false;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), value);
    return result.ec == std::errc() && result.ptr == field.data() + field.size();
}

bool LooksLikeCsvNumber(std::string_view field) {
    field = TrimBlanks(field);
    bool digit = false;
    for (const char c : field) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (std::string_view("+-.,eE \t").find(c) == std::string_view::npos)
            return false;
    }
    return digit;
}
