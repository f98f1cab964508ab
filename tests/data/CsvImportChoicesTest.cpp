#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/CsvImportChoices.h"

namespace {

using Names = std::vector<std::string>;

// The Import dialog's choices on a measuring tool's table: detected as the
// dialog shows it, changed as its controls change them, and handed to the
// import as 1-based column numbers.
TEST(CsvImportChoices, DetectedChangedAndHandedOn) {
    const std::string text = "Site;X (mm);Y (mm);Thickness\n1;-10;0;500.5\n2;10;0;501\n";
    CsvImportOptions initial;
    initial.Units = CsvUnits::Cells;
    initial.Diameter = 40.0;
    initial.XColumn = "Thickness";  // the columns are always detected
    CsvImportChoices choices(text, initial);

    EXPECT_EQ(choices.FoundText(), "found: semicolon, header row");
    EXPECT_EQ(choices.ColumnNames(), (Names{"1: Site", "2: X (mm)", "3: Y (mm)", "4: Thickness"}));
    EXPECT_EQ(choices.Layout().Rows.size(), 2u);
    EXPECT_EQ(choices.DiameterCaption(), "Size (cells):");
    EXPECT_EQ(choices.DiameterUnit(), "");
    CsvImportOptions o = choices.Options();
    EXPECT_EQ(o.Delimiter, CsvDelimiter::Detect);
    EXPECT_EQ(Names({o.XColumn, o.YColumn, o.ZColumn}), (Names{"2", "3", "4"}));
    EXPECT_EQ(o.Units, CsvUnits::Cells);
    EXPECT_EQ(o.Diameter, 40.0);

    // The user's changes; a column beyond the names is none.
    choices.SetColumn(2, 0);
    choices.SetColumn(1, 4);
    choices.SetUnits(CsvUnits::Millimetres);
    choices.SetDiameter(200.0);
    EXPECT_EQ(choices.DiameterCaption(), "Wafer diameter (mm):");
    EXPECT_EQ(choices.DiameterUnit(), " mm");
    o = choices.Options();
    EXPECT_EQ(Names({o.XColumn, o.YColumn, o.ZColumn}), (Names{"2", "", "1"}));
    EXPECT_EQ(o.Units, CsvUnits::Millimetres);
    EXPECT_EQ(o.Diameter, 200.0);

    // Another delimiter detects afresh: one header field, which names no
    // column, so none is chosen (the import would ask); units and diameter stay.
    choices.SetDelimiter(CsvDelimiter::Comma);
    EXPECT_EQ(choices.FoundText(), "found: comma, header row");
    EXPECT_EQ(choices.ColumnNames(), (Names{"1: Site;X (mm);Y (mm);Thickness"}));
    o = choices.Options();
    EXPECT_EQ(o.Delimiter, CsvDelimiter::Comma);
    EXPECT_EQ(Names({o.XColumn, o.YColumn, o.ZColumn}), (Names{"", "", ""}));
    EXPECT_EQ(o.Diameter, 200.0);

    // The next table starts from these units and this diameter only.
    const CsvImportOptions next = NextImportStart(o);
    EXPECT_EQ(next.Delimiter, CsvDelimiter::Detect);
    EXPECT_EQ(Names({next.XColumn, next.YColumn, next.ZColumn}), (Names{"", "", ""}));
    EXPECT_EQ(next.Units, CsvUnits::Millimetres);
    EXPECT_EQ(next.Diameter, 200.0);
}

}  // namespace
