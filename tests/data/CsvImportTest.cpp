#include "data/CsvImport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

struct Good {
    const char* name;
    std::string text;
    CsvImportOptions options;
    int size;
    int x, y;  // a cell that must hold value
    double value;
    std::vector<std::string> messages;
};

// Tables as tools export them: the delimiter, the header and the columns
// found, millimetres placed about the centre, cells as they stand.
TEST(CsvImport, ReadsTheLayoutsToolsWrite) {
    CsvImportOptions cells;
    cells.Units = CsvUnits::Cells;
    CsvImportOptions wafer200;
    wafer200.Diameter = 200.0;
    CsvImportOptions byName;
    byName.XColumn = "PosX";
    byName.YColumn = "posy";
    byName.ZColumn = "3";
    const Good cases[] = {
        {"comma, header, mm about the centre", "x,y,thickness\n-100,0,1.5\n0,0,2\n100,100,3\n", wafer200, 200, 0,
         100, 1.5, {}},
        {"semicolon, units in the names, extra columns", "Site;X (mm);Y (mm);THK [nm];GOF\n1;-2.5;3.5;912.25;0.99\n",
         CsvImportOptions{}, 7, 1, 7, 912.25, {}},
        {"tab, CR LF, byte-order mark", "\xEF\xBB\xBFx\ty\tvalue\r\n1\t-1\t7\r\n", CsvImportOptions{}, 2, 2, 0, 7.0,
         {}},
        {"blanks, no header: columns 1, 2, 3", "  10   20  5.5\n0 0 1\n", cells, 20, 10, 20, 5.5, {}},
        {"quoted fields, columns by name and number", "\"PosX\",\"PosY\",\"t\"\n\"3\",\"4\",\"+6e2\"\n", byName,
         8, 7, 8, 600.0, {}},
        {"two points in one cell: reported, the later kept", "x,y,z\n0.2,0,1\n5,5,2\n-0.2,0,3\n", wafer200, 200,
         100, 100, 3.0, {"Points sharing a cell: 1. First: X:100 Y:100 Line: 4"}},
    };
    for (const Good& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = NewRecord();
        MessageRecorder recorder;
        ASSERT_EQ(ImportCsvText(c.text, c.options, *record, recorder), 1);
        EXPECT_EQ(recorder.Messages, c.messages);
        EXPECT_EQ(record->Size, c.size);
        EXPECT_EQ(record->Value[c.x][c.y], c.value);
        EXPECT_TRUE(record->Valid);
    }
}

// A line that cannot be read is named with its line number, and nothing is
// loaded.
TEST(CsvImport, RefusesWithOneMessage) {
    CsvImportOptions missing;
    missing.ZColumn = "thickness";
    CsvImportOptions small;
    small.Diameter = 10.0;
    const struct {
        const char* name;
        std::string text;
        CsvImportOptions options;
        std::string message;
    } cases[] = {
        {"a word for a number", "x,y,z\n0,0,1\n\n1,1,abc\n", {}, "CSV data error. -> 'abc' Line: 4"},
        {"a missing field", "x,y,z\n0,0\n", {}, "CSV data error. -> '' Line: 2"},
        {"no such column", "x,y,z\n0,0,1\n", missing, "CSV column not found. -> thickness"},
        {"outside the wafer", "x,y,z\n0,0,1\n6,0,1\n", small, "CSV point outside the area. -> X:6 Y:0 Line: 3"},
        {"beyond the largest area", "x,y,z\n300,0,1\n", {}, "Size data error.(with in 1<->500) -> 600"},
        {"a header alone", "x,y,z\n", {}, "Data count is zero."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = NewRecord();
        MessageRecorder recorder;
        EXPECT_EQ(ImportCsvText(c.text, c.options, *record, recorder), -1);
        EXPECT_EQ(recorder.Messages, std::vector<std::string>{c.message});
    }
}

}  // namespace
