#include "data/CsvImport.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/Message.h"
#include "core/TextFile.h"
#include "data/CsvColumnNames.h"
#include "data/WaferDiameter.h"

namespace {

// A field as a message shows it: up to a NUL byte, which would end the text
// wherever it is shown as a C string.
// A field as a message quotes it: up to a NUL byte (which would end the
// text wherever it is shown as a C string) and at most 40 characters, so a
// 10 MB field never fills the screen; a cut field ends in "...".
std::string Shown(std::string_view field) {
    field = field.substr(0, field.find('\0'));
    constexpr std::size_t MostCharacters = 40;
    std::size_t at = 0;
    for (std::size_t characters = 0; at < field.size() && characters < MostCharacters; ++characters) {
        ++at;
        while (at < field.size() && (static_cast<unsigned char>(field[at]) & 0xC0u) == 0x80u)
            ++at;  // the rest of a UTF-8 character
    }
    return at < field.size() ? std::string(field.substr(0, at)) + "..." : std::string(field);
}

// The lines, the delimiter and the header of a text.
struct Table {
    std::vector<CsvLine> Lines;
    std::size_t FirstData = 0;  // index of the first data line
    CsvDelimiter Delimiter = CsvDelimiter::Comma;
    bool Header = false;
    std::vector<std::string> Names;
    std::size_t Width = 0;  // fields of the header or first line, a trailing delimiter aside
};

Table ReadTable(std::string_view text, const CsvImportOptions& options) {
    Table t;
    t.Lines = SplitCsvLines(text);
    if (t.Lines.empty()) return t;
    const std::string_view first = t.Lines.front().Text;
    t.Delimiter = options.Delimiter == CsvDelimiter::Detect ? DetectCsvDelimiter(first) : options.Delimiter;
    const std::vector<std::string> fields = SplitCsvFields(first, t.Delimiter);
    // A .thk-style line ends in a delimiter: its empty last field makes no
    // header.
    t.Header = std::any_of(fields.begin(), fields.end(),
                           [](const std::string& f) { return !f.empty() && !LooksLikeCsvNumber(f); });
    if (t.Header) {
        t.Names = SplitCsvFields(first, t.Delimiter, true);
        t.Width = UsedFieldCount(t.Names);
        t.FirstData = 1;
    } else {
        t.Width = UsedFieldCount(fields);
        for (std::size_t i = 0; i < t.Width; ++i)
            t.Names.push_back(std::to_string(i + 1));
    }
    return t;
}

struct Columns {
    int X = -1;
    int Y = -1;
    int Z = -1;
    int Site = -1;
};

// The header's names for a message, joined with ", " and cut after some
// hundred bytes (at a character's start) so that a wild first line stays a
// readable message.
std::string NameList(const std::vector<std::string>& names) {
    constexpr std::size_t Longest = 300;
    std::string list;
    for (const std::string& n : names) {
        if (!list.empty()) list += ", ";
        list += Shown(n);
        if (list.size() > Longest) {
            std::size_t cut = Longest;
            while (cut > 0 && (static_cast<unsigned char>(list[cut]) & 0xC0) == 0x80)
                --cut;
            return list.substr(0, cut) + "...";
        }
    }
    return list;
}

// The columns the options name and, for the others, those the header's words
// name (a site column first, so that it is never taken for X), never one
// column twice. Returns the refusal, or an empty text when X, Y and the
// thickness are all known; what was found is in c either way.
std::string ChooseColumns(const CsvImportOptions& o, const Table& t, Columns& c) {
    std::vector<bool> taken(t.Names.size(), false);
    const std::string* const given[] = {&o.XColumn, &o.YColumn, &o.ZColumn, &o.SiteColumn};
    int* const chosen[] = {&c.X, &c.Y, &c.Z, &c.Site};
    std::string problem;
    const auto refuse = [&problem](std::string text) {
        if (problem.empty()) problem = std::move(text);
    };
    for (int k = 0; k < 4; ++k) {
        if (given[k]->empty()) continue;
        const int column = NamedColumn(*given[k], t.Names);
        if (column == AmbiguousColumn) {
            refuse("CSV column name matches several columns: give it exactly. -> " + Shown(*given[k]));
        } else if (column < 0) {
            refuse("CSV column not found. -> " + Shown(*given[k]));
        } else if (taken[static_cast<std::size_t>(column)]) {
            refuse("CSV column chosen twice. -> " + Shown(t.Names[static_cast<std::size_t>(column)]));
        } else {
            taken[static_cast<std::size_t>(column)] = true;
            *chosen[k] = column;
        }
    }
    const int count = static_cast<int>(t.Names.size());
    const auto take = [&taken](int& target, int column) {
        target = column;
        taken[static_cast<std::size_t>(column)] = true;
    };
    if (t.Header) {
        const auto first = [&](int& target, const std::string& option, auto&& fits) {
            if (!option.empty()) return;
            for (int i = 0; i < count; ++i) {
                if (!taken[static_cast<std::size_t>(i)] && fits(t.Names[static_cast<std::size_t>(i)])) {
                    take(target, i);
                    return;
                }
            }
        };
        first(c.Site, o.SiteColumn, [](const std::string& n) { return IsSiteName(n); });
        first(c.X, o.XColumn, [](const std::string& n) { return AxisOfName(n) == CsvAxis::X; });
        first(c.Y, o.YColumn, [](const std::string& n) { return AxisOfName(n) == CsvAxis::Y; });
        if (o.ZColumn.empty()) {
            int best = -1;
            int bestRank = 0;
            for (int i = 0; i < count; ++i) {
                const int rank = ThicknessRankOfName(t.Names[static_cast<std::size_t>(i)]);
                if (taken[static_cast<std::size_t>(i)] || rank < 0) continue;
                if (best < 0 || rank < bestRank) {
                    best = i;
                    bestRank = rank;
                }
            }
            if (best >= 0) take(c.Z, best);
        }
    } else {
        // Without names the free columns are taken in order: X, Y, thickness.
        for (int k = 0; k < 3; ++k) {
            if (!given[k]->empty()) continue;
            for (int i = 0; i < count; ++i) {
                if (!taken[static_cast<std::size_t>(i)]) {
                    take(*chosen[k], i);
                    break;
                }
            }
        }
    }
    const char* const labels[] = {"X", "Y", "thickness"};
    for (int k = 0; k < 3; ++k)
        if (given[k]->empty() && *chosen[k] < 0)
            refuse(std::string("CSV ") + labels[k] + " column not found: choose one. -> " +
                   NameList(t.Names));
    return problem;
}

// The field of a line in a column; empty past the line's end.
std::string_view FieldAt(const std::vector<std::string>& fields, int column) {
    const auto i = static_cast<std::size_t>(column);
    return column >= 0 && i < fields.size() ? std::string_view(fields[i]) : std::string_view();
}

// One pass over the data lines for what the columns' fields show: whether
// the numbers take a decimal comma (unless the options say), and whether a
// site column found by its name holds whole numbers (else it is dropped and
// the sites are numbered in file order).
bool SettleFromData(const CsvImportOptions& o, const Table& t, Columns& c) {
    bool decided = o.DecimalComma != CsvDecimal::Detect || t.Delimiter == CsvDelimiter::Comma;
    bool comma = o.DecimalComma == CsvDecimal::Comma;
    bool checkSites = c.Site >= 0 && o.SiteColumn.empty();
    for (std::size_t i = t.FirstData; i < t.Lines.size() && !(decided && !checkSites); ++i) {
        const std::vector<std::string> fields = SplitCsvFields(t.Lines[i].Text, t.Delimiter);
        if (!decided) {
            for (const int column : {c.X, c.Y, c.Z}) {
                if (FieldAt(fields, column).find(',') != std::string_view::npos) {
                    comma = true;
                    decided = true;
                }
            }
        }
        int site = 0;
        if (checkSites && !ReadCsvWholeNumber(FieldAt(fields, c.Site), site)) {
            c.Site = -1;
            checkSites = false;
        }
    }
    return comma;
}

// The point of one data line (the site number given in file order when
// there is no site column); a column at -1 is not read. Returns the refusal,
// or an empty text.
std::string ReadPoint(const std::vector<std::string>& fields, int line, const Columns& c, bool comma,
                      ThkPoint& p) {
    double* const targets[] = {&p.X, &p.Y, &p.Z};
    const int columns[] = {c.X, c.Y, c.Z};
    for (int k = 0; k < 3; ++k) {
        if (columns[k] < 0) continue;
        const std::string_view field = FieldAt(fields, columns[k]);
        const CsvNumber read = ReadCsvNumber(field, comma, *targets[k]);
        if (read == CsvNumber::Grouped)
            return "CSV number with a thousands separator. -> '" + Shown(field) +
                   "' Line: " + std::to_string(line);
        // A thickness beyond a float's range would spread infinities
        // through Grid, Fill and the statistics, and one at or below the
        // no-data mark would vanish as an empty cell: both are refused.
        if (read != CsvNumber::Read ||
            (k == 2 && (std::fabs(p.Z) > static_cast<double>(FLT_MAX) || p.Z <= NoData)))
            return "CSV data error. -> '" + Shown(field) + "' Line: " + std::to_string(line);
    }
    if (c.Site >= 0 && !ReadCsvWholeNumber(FieldAt(fields, c.Site), p.Site))
        return "CSV data error. -> '" + Shown(FieldAt(fields, c.Site)) + "' Line: " + std::to_string(line);
    return {};
}

std::string TheUnit(const CsvImportOptions& o, const Table& t, const Columns& c) {
    if (!o.Unit.empty()) return CanonicalUnit(o.Unit);
    return t.Header && c.Z >= 0 ? UnitOfName(t.Names[static_cast<std::size_t>(c.Z)]) : std::string();
}

}  // namespace

CsvLayout DetectCsvLayout(std::string_view text, const CsvImportOptions& options, int previewRows) {
    CsvLayout layout;
    const Table t = ReadTable(text, options);
    if (t.Lines.empty()) return layout;
    layout.Delimiter = t.Delimiter;
    layout.Header = t.Header;
    layout.Names = t.Names;
    Columns c;
    ChooseColumns(options, t, c);
    layout.DecimalComma = SettleFromData(options, t, c);
    layout.XColumn = c.X;
    layout.YColumn = c.Y;
    layout.ZColumn = c.Z;
    layout.SiteColumn = c.Site;
    layout.Unit = TheUnit(options, t, c);
    // X and Y of every line that reads, for the wafer that holds them all.
    std::vector<ThkPoint> points;
    if (c.X >= 0 && c.Y >= 0) {
        const Columns xy{c.X, c.Y, -1, -1};
        points.reserve(t.Lines.size() - t.FirstData);
        for (std::size_t i = t.FirstData; i < t.Lines.size(); ++i) {
            ThkPoint p{0.0, 0.0, 0.0, 0};
            if (ReadPoint(SplitCsvFields(t.Lines[i].Text, t.Delimiter), t.Lines[i].Number, xy,
                          layout.DecimalComma, p)
                    .empty())
                points.push_back(p);
        }
    }
    layout.ProposedDiameter = ProposedWaferDiameter(points);
    for (std::size_t i = t.FirstData;
         i < t.Lines.size() && static_cast<int>(layout.Rows.size()) < previewRows; ++i)
        layout.Rows.push_back(SplitCsvFields(t.Lines[i].Text, t.Delimiter));
    return layout;
}

int ImportCsvText(std::string_view text, const CsvImportOptions& options, ThkData& record,
                  const MessageSink& messages) {
    const Table t = ReadTable(text, options);
    if (t.Lines.empty()) {
        messages.Show("Data count is zero.");
        return -1;
    }
    Columns c;
    if (const std::string problem = ChooseColumns(options, t, c); !problem.empty()) {
        messages.Show(problem);
        return -1;
    }
    const bool comma = SettleFromData(options, t, c);

    // Counted first: the points go to the record as they are, file-sized.
    std::vector<ThkPoint> points;
    std::vector<int> lineOf;
    points.reserve(t.Lines.size() - t.FirstData);
    lineOf.reserve(t.Lines.size() - t.FirstData);
    double largest = 0.0;  // of |X| and |Y| in millimetres, of X and Y in cells
    for (std::size_t i = t.FirstData; i < t.Lines.size(); ++i) {
        const int line = t.Lines[i].Number;
        const std::vector<std::string> fields = SplitCsvFields(t.Lines[i].Text, t.Delimiter);
        // A field beyond the header has no column: a value there means the
        // line was split where the writer did not mean it (a decimal comma
        // in a comma-separated file), never something to drop.
        const std::size_t used = UsedFieldCount(fields);
        if (used > t.Width) {
            messages.Show(std::string("CSV line has more fields than the ") +
                          (t.Header ? "header" : "first line") + ". -> " + std::to_string(used) + " for " +
                          std::to_string(t.Width) + " Line: " + std::to_string(line));
            return -1;
        }
        ThkPoint p{0.0, 0.0, 0.0, static_cast<int>(points.size()) + 1};
        if (const std::string problem = ReadPoint(fields, line, c, comma, p); !problem.empty()) {
            messages.Show(problem);
            return -1;
        }
        largest = std::max({largest, std::abs(p.X), std::abs(p.Y)});
        points.push_back(p);
        lineOf.push_back(line);
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
    const double centre = Size / 2.0;

    double min = RunningMinStart;
    double max = StatInitMax;
    int shared = 0;
    int firstSharedLine = 0;
    int firstX = 0;
    int firstY = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ThkPoint& p = points[i];
        // Cells count y downward, the wafer +Y upward. A point half way
        // between two cells goes to the one further from 0.
        const double cx = std::round(mm ? centre + p.X : p.X);
        const double cy = std::round(mm ? centre - p.Y : p.Y);
        if (!(cx >= 0.0 && cx <= Size && cy >= 0.0 && cy <= Size)) {
            char text[160];
            std::snprintf(text, sizeof text, "CSV point outside the area. -> X:%g Y:%g Line: %d", p.X, p.Y,
                          lineOf[i]);
            messages.Show(text);
            return -1;
        }
        const int x = static_cast<int>(cx);
        const int y = static_cast<int>(cy);
        if (HasData(record.Value[x][y]) && shared++ == 0) {
            firstSharedLine = lineOf[i];
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
    record.Unit = TheUnit(options, t, c);
    record.Points = std::move(points);
    record.PointsInMm = mm;
    StoreStatistics(record, min, max);
    CalcTextRatios(record);
    if (shared > 0)
        messages.Show("Points sharing a cell: " + std::to_string(shared) +
                      ". First: X:" + std::to_string(firstX) + " Y:" + std::to_string(firstY) +
                      " Line: " + std::to_string(firstSharedLine));
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
