// The CSV table import over arbitrary bytes. The first byte chooses the
// options (units, delimiter, a given diameter, columns given, decimal mark,
// a unit given), the rest is the table.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "data/CsvImport.h"

namespace {

bool StartsWith(const std::string& text, std::string_view start) {
    return text.rfind(start, 0) == 0;
}

// The messages a refused table may give, one of them.
bool IsRefusal(const std::string& text) {
    return StartsWith(text, "CSV column not found. -> ") ||
           StartsWith(text, "CSV column name matches several columns: give it exactly. -> ") ||
           StartsWith(text, "CSV column chosen twice. -> ") ||
           StartsWith(text, "CSV X column not found: choose one. -> ") ||
           StartsWith(text, "CSV Y column not found: choose one. -> ") ||
           StartsWith(text, "CSV thickness column not found: choose one. -> ") ||
           StartsWith(text, "CSV line has more fields than the header. -> ") ||
           StartsWith(text, "CSV line has more fields than the first line. -> ") ||
           StartsWith(text, "CSV number with a thousands separator. -> '") ||
           StartsWith(text, "CSV data error. -> '") ||
           StartsWith(text, "CSV point outside the area. -> X:") ||
           StartsWith(text, "Size data error.(with in 1<->500) -> ") || text == "Data count is zero.";
}

CsvImportOptions OptionsOf(std::uint8_t choice) {
    CsvImportOptions options;
    options.Units = (choice & 1) != 0 ? CsvUnits::Cells : CsvUnits::Millimetres;
    constexpr CsvDelimiter delimiters[] = {CsvDelimiter::Detect, CsvDelimiter::Comma, CsvDelimiter::Semicolon,
                                           CsvDelimiter::Tab, CsvDelimiter::Blanks};
    options.Delimiter = delimiters[(choice >> 1) % 5];
    if ((choice & 0x10) != 0) options.Diameter = 300.0;
    if ((choice & 0x20) != 0) {
        options.XColumn = "2";
        options.YColumn = "y";
        options.ZColumn = "4";
        options.SiteColumn = "1";
    }
    constexpr CsvDecimal marks[] = {CsvDecimal::Detect, CsvDecimal::Detect, CsvDecimal::Point,
                                    CsvDecimal::Comma};
    options.DecimalComma = marks[(choice >> 6) & 3];
    if ((choice & 0xC0) == 0xC0) options.Unit = "um";
    return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // One record for the whole run, cleared by the caller as the session does.
    static const std::unique_ptr<ThkData> record = [] {
        auto r = std::make_unique<ThkData>();
        ClearThkData(r.get(), 1);
        return r;
    }();

    MessageCounter messages;
    const CsvImportOptions options = OptionsOf(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const int result = ImportCsvText(text, options, *record, messages);
    const auto& shown = messages.Messages;
    for (const std::string& m : shown)
        FUZZ_REQUIRE(Readable(m));
    if (result == 1) {
        // At most the notice of points sharing a cell.
        FUZZ_REQUIRE(shown.size() <= 1);
        if (!shown.empty()) FUZZ_REQUIRE(StartsWith(shown[0], "Points sharing a cell: "));
        FUZZ_REQUIRE(record->Count >= 1);
        // Every line's site, as read, and none more.
        FUZZ_REQUIRE(record->Points.size() == static_cast<std::size_t>(record->Count));
        if (!options.Unit.empty()) FUZZ_REQUIRE(record->Unit == "\xC2\xB5m");
        FUZZ_REQUIRE(record->Size >= 1 && record->Size <= ThkMaxSize);
        FUZZ_REQUIRE(record->PitchX == 1 && record->PitchY == 1);
        if (options.Diameter > 0.0) FUZZ_REQUIRE(record->Size == 300);
        RequireConsistentStatistics(*record);
    } else {
        FUZZ_REQUIRE(result == -1);
        FUZZ_REQUIRE(shown.size() == 1 && IsRefusal(shown[0]));
    }
    ClearThkData(record.get(), 1);
    RequireCleared(*record);
    return 0;
}
