#include "data/CsvImport.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "core/Message.h"
#include "core/TextFile.h"

namespace {

// One line of the text with its number (from 1).
struct TextLine {
    std::string_view Text;
    int Number;
};

// The lines that hold anything but blanks, a byte-order mark at the start
// passed over.
std::vector<TextLine> SplitLines(std::string_view text) {
    if (text.starts_with(Utf8ByteOrderMark)) text.remove_prefix(Utf8ByteOrderMark.size());
    std::vector<TextLine> lines;
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

std::string_view Trim(std::string_view field) {
    const std::size_t first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = field.find_last_not_of(" \t");
    return field.substr(first, last - first + 1);
}

CsvDelimiter DetectDelimiter(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return CsvDelimiter::Tab;
    if (line.find(';') != std::string_view::npos) return CsvDelimiter::Semicolon;
    if (line.find(',') != std::string_view::npos) return CsvDelimiter::Comma;
    return CsvDelimiter::Blanks;
}

// The fields of a line, trimmed and without the double quotes around them; a
// quoted field may hold the delimiter, and "" stands for one quote.
std::vector<std::string> SplitFields(std::string_view line, CsvDelimiter delimiter) {
    std::vector<std::string> fields;
    if (delimiter == CsvDelimiter::Blanks) {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            if (i == line.size()) break;
            const std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                ++i;
            fields.emplace_back(line.substr(start, i - start));
        }
        return fields;
    }
    const char separator = delimiter == CsvDelimiter::Tab         ? '\t'
                           : delimiter == CsvDelimiter::Semicolon ? ';'
                                                                  : ',';
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
                fields.emplace_back(Trim(field));
            }
            continue;
        }
        if (c == separator) {
            fields.emplace_back(Trim(field));
            field.clear();
        } else if (c == '"' && Trim(field).empty()) {
            field.clear();
            quoted = true;
        } else {
            field += c;
        }
    }
    return fields;
}

// A finite number that is the whole field (a leading "+" allowed).
bool ParseNumber(std::string_view field, double& value) {
    field = Trim(field);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty()) return false;
    const auto result = std::from_chars(field.data(), field.data() + field.size(), value);
    return result.ec == std::errc() && result.ptr == field.data() + field.size() && std::isfinite(value);
}

// A header name as compared: lower case, without blanks, quotes and a
// trailing unit in brackets ("X (mm)" is "x").
std::string NormalName(std::string_view name) {
    std::string n(Trim(name));
    const std::size_t bracket = n.find_first_of("([");
    if (bracket != std::string::npos && bracket > 0) n.erase(bracket);
    std::string out;
    for (const char c : n)
        if (c != ' ' && c != '\t' && c != '"')
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

// The column an option names: a 1-based number or a header name; -1 when
// the header has no such name.
int ColumnOf(const std::string& option, const std::vector<std::string>& names) {
    int number = 0;
    const auto result = std::from_chars(option.data(), option.data() + option.size(), number);
    if (result.ec == std::errc() && result.ptr == option.data() + option.size() && number >= 1)
        return number - 1;
    const std::string wanted = NormalName(option);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (NormalName(names[i]) == wanted) return static_cast<int>(i);
    return -1;
}

// The first header column with one of the names, or fallback.
int ObviousColumn(const std::vector<std::string>& names, std::initializer_list<std::string_view> wanted,
                  int fallback) {
    for (const std::string_view w : wanted)
        for (std::size_t i = 0; i < names.size(); ++i)
            if (NormalName(names[i]) == w) return static_cast<int>(i);
    return fallback;
}

struct Columns {
    int X;
    int Y;
    int Z;
};

Columns ChooseColumns(const CsvImportOptions& o, const std::vector<std::string>& names, bool header) {
    const auto choose = [&](const std::string& option, std::initializer_list<std::string_view> obvious,
                            int fallback) {
        if (!option.empty()) return ColumnOf(option, names);
        return header ? ObviousColumn(names, obvious, fallback) : fallback;
    };
    // Without obvious names the first three columns are taken in order.
    return {choose(o.XColumn, {"x"}, 0), choose(o.YColumn, {"y"}, 1),
            choose(o.ZColumn, {"thickness", "thk", "z", "value"}, 2)};
}

bool IsHeader(const std::vector<std::string>& fields) {
    double ignored = 0.0;
    return std::any_of(fields.begin(), fields.end(),
                       [&](const std::string& f) { return !ParseNumber(f, ignored); });
}

struct Point {
    double X;
    double Y;
    double Z;
    int Line;
};

}  // namespace

CsvLayout DetectCsvLayout(std::string_view text, const CsvImportOptions& options, int previewRows) {
    CsvLayout layout;
    const std::vector<TextLine> lines = SplitLines(text);
    if (lines.empty()) return layout;
    layout.Delimiter =
        options.Delimiter == CsvDelimiter::Detect ? DetectDelimiter(lines.front().Text) : options.Delimiter;
    const std::vector<std::string> first = SplitFields(lines.front().Text, layout.Delimiter);
    layout.Header = IsHeader(first);
    if (layout.Header) {
        layout.Names = first;
    } else {
        for (std::size_t i = 0; i < first.size(); ++i)
            layout.Names.push_back(std::to_string(i + 1));
    }
    const Columns c = ChooseColumns(options, layout.Names, layout.Header);
    layout.XColumn = c.X;
    layout.YColumn = c.Y;
    layout.ZColumn = c.Z;
    for (std::size_t i = layout.Header ? 1 : 0;
         i < lines.size() && static_cast<int>(layout.Rows.size()) < previewRows; ++i)
        layout.Rows.push_back(SplitFields(lines[i].Text, layout.Delimiter));
    return layout;
}

int ImportCsvText(std::string_view text, const CsvImportOptions& options, ThkData& record,
                  const MessageSink& messages) {
    const std::vector<TextLine> lines = SplitLines(text);
    if (lines.empty()) {
        messages.Show("Data count is zero.");
        return -1;
    }
    const CsvDelimiter delimiter =
        options.Delimiter == CsvDelimiter::Detect ? DetectDelimiter(lines.front().Text) : options.Delimiter;
    const std::vector<std::string> first = SplitFields(lines.front().Text, delimiter);
    const bool header = IsHeader(first);
    std::vector<std::string> names = first;
    if (!header)
        for (std::size_t i = 0; i < names.size(); ++i)
            names[i] = std::to_string(i + 1);
    const Columns c = ChooseColumns(options, names, header);
    const std::pair<int, const std::string*> chosen[] = {
        {c.X, &options.XColumn}, {c.Y, &options.YColumn}, {c.Z, &options.ZColumn}};
    for (const auto& [column, option] : chosen) {
        if (column < 0) {
            messages.Show("CSV column not found. -> " + *option);
            return -1;
        }
    }

    std::vector<Point> points;
    points.reserve(lines.size());
    double largest = 0.0;  // of |X| and |Y| in millimetres, of X and Y in cells
    for (std::size_t i = header ? 1 : 0; i < lines.size(); ++i) {
        const std::vector<std::string> fields = SplitFields(lines[i].Text, delimiter);
        Point p{0.0, 0.0, 0.0, lines[i].Number};
        double* targets[] = {&p.X, &p.Y, &p.Z};
        const int columns[] = {c.X, c.Y, c.Z};
        for (int k = 0; k < 3; ++k) {
            const auto column = static_cast<std::size_t>(columns[k]);
            const std::string field = column < fields.size() ? fields[column] : std::string();
            // A thickness beyond a float's range would spread infinities
            // through Grid, Fill and the statistics, and one at or below the
            // no-data mark would vanish as an empty cell: both are refused.
            if (!ParseNumber(field, *targets[k]) ||
                (k == 2 && (std::fabs(p.Z) > static_cast<double>(FLT_MAX) || p.Z <= NoData))) {
                // A NUL byte would end the text wherever it is shown as a C
                // string: the field is named up to it.
                messages.Show("CSV data error. -> '" + field.substr(0, field.find('\0')) +
                              "' Line: " + std::to_string(p.Line));
                return -1;
            }
        }
        largest = std::max({largest, std::abs(p.X), std::abs(p.Y)});
        points.push_back(p);
    }
    if (points.empty()) {
        messages.Show("Data count is zero.");
        return -1;
    }

    const bool mm = options.Units == CsvUnits::Millimetres;
    // The area: the diameter (millimetres) or the Size (cells) given, else
    // the smallest whole one that holds every point.
    const double extent = options.Diameter > 0.0 ? options.Diameter : std::ceil(mm ? 2.0 * largest : largest);
    const double size = std::max(1.0, std::round(extent));
    if (!(size <= ThkMaxSize)) {
        messages.Show("Size data error.(with in 1<->" + std::to_string(ThkMaxSize) + ") -> " +
                      std::to_string(static_cast<long long>(std::min(size, 1e18))));
        return -1;
    }
    const int Size = static_cast<int>(size);
    const double offset = mm ? Size / 2.0 : 0.0;

    double min = RunningMinStart;
    double max = StatInitMax;
    int shared = 0;
    Point firstShared{};
    int firstX = 0;
    int firstY = 0;
    for (const Point& p : points) {
        // A point half way between two cells goes to the one further from 0.
        const double cx = std::round(p.X + offset);
        const double cy = std::round(p.Y + offset);
        if (!(cx >= 0.0 && cx <= Size && cy >= 0.0 && cy <= Size)) {
            char text[160];
            std::snprintf(text, sizeof text, "CSV point outside the area. -> X:%g Y:%g Line: %d", p.X, p.Y,
                          p.Line);
            messages.Show(text);
            return -1;
        }
        const int x = static_cast<int>(cx);
        const int y = static_cast<int>(cy);
        if (HasData(record.Value[x][y]) && shared++ == 0) {
            firstShared = p;
            firstX = x;
            firstY = y;
        }
        record.Value[x][y] = p.Z;
        if (min > p.Z) min = p.Z;
        if (p.Z > max) max = p.Z;
    }
    record.Valid = true;
    record.Size = Size;
    record.PitchX = 1;
    record.PitchY = 1;
    record.Count = static_cast<std::int32_t>(points.size());
    StoreStatistics(record, min, max);
    CalcTextRatios(record);
    if (shared > 0)
        messages.Show("Points sharing a cell: " + std::to_string(shared) +
                      ". First: X:" + std::to_string(firstX) + " Y:" + std::to_string(firstY) +
                      " Line: " + std::to_string(firstShared.Line));
    return 1;
}

int ImportCsvFile(const std::string& path, const CsvImportOptions& options, ThkData& record,
                  const MessageSink& messages) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        messages.Show("File open error. -> " + path);
        return -1;
    }
    return ImportCsvText(text, options, record, messages);
}

bool IsCsvFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return false;
    std::string suffix(name.substr(dot + 1));
    for (char& c : suffix)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix == "csv" || suffix == "txt";
}
