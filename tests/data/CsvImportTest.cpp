#include "data/CsvImport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/ThkReader.h"
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
    std::string unit;
    std::vector<ThkPoint> points;  // X, Y as in the file, value, site number
    double proposed;               // the standard wafer that holds the points as mm
    std::vector<std::string> messages = {};
};

// Tables as tools export them: the delimiter, the header, the decimal mark
// and the columns found, millimetres placed about the centre with +Y up
// (cell y = centre - y), cells as they stand, the measured sites kept.
TEST(CsvImport, ReadsTheLayoutsToolsWrite) {
    CsvImportOptions cells;
    cells.Units = CsvUnits::Cells;
    CsvImportOptions wafer200;
    wafer200.Diameter = 200.0;
    CsvImportOptions byName;
    byName.XColumn = "PosX";
    byName.YColumn = "posy";
    byName.ZColumn = "3";
    CsvImportOptions exactName = wafer200;
    exactName.ZColumn = "Thickness (nm)";
    CsvImportOptions micrometres;
    micrometres.Unit = "um";
    // clang-format off
    const Good cases[] = {
        {"comma, header, mm about the centre",
         "x,y,thickness\n-100,0,1.5\n0,0,2\n100,100,3\n",
         wafer200, 200, 0, 100, 1.5, "", {{-100, 0, 1.5, 1}, {0, 0, 2, 2}, {100, 100, 3, 3}}, 300.0},
        {"semicolon, units in the names, extra columns",
         "Site;X (mm);Y (mm);THK [nm];GOF\n1;-2.5;3.5;912.25;0.99\n",
         {}, 7, 1, 0, 912.25, "nm", {{-2.5, 3.5, 912.25, 1}}, 100.0},
        {"tab, CR LF, byte-order mark",
         "\xEF\xBB\xBFx\ty\tvalue\r\n1\t-1\t7\r\n",
         {}, 2, 2, 2, 7.0, "", {{1, -1, 7, 1}}, 100.0},
        {"blanks, no header: columns 1, 2, 3",
         "  10   20  5.5\n0 0 1\n",
         cells, 20, 10, 20, 5.5, "", {{10, 20, 5.5, 1}, {0, 0, 1, 2}}, 100.0},
        {"blanks, units after a blank in the header",
         "X (mm)  Y (mm)  THK (nm)\n1 -1 7\n",
         {}, 2, 2, 2, 7.0, "nm", {{1, -1, 7, 1}}, 100.0},
        {"quoted fields, columns by name and number",
         "\"PosX\",\"PosY\",\"t\"\n\"3\",\"4\",\"+6e2\"\n",
         byName, 8, 7, 0, 600.0, "", {{3, 4, 600, 1}}, 100.0},
        {"two points in one cell: reported, the later kept",
         "x,y,z\n0.2,0,1\n5,5,2\n-0.2,0,3\n",
         wafer200, 200, 100, 100, 3.0, "", {{0.2, 0, 1, 1}, {5, 5, 2, 2}, {-0.2, 0, 3, 3}}, 100.0,
         {"Points sharing a cell: 1. First: X:100 Y:100 Line: 4"}},
        {"the thickness by its words, never the Y column",
         "Site,X(mm),Y(mm),Film Thickness [A]\n1,0,97,9724.6\n2,-97,0,9701.2\n",
         wafer200, 200, 100, 3, 9724.6, "\xC3\x85", {{0, 97, 9724.6, 1}, {-97, 0, 9701.2, 2}}, 200.0},
        {"a Point column numbers the sites, never X",
         "Point,Xpos,Ypos,Film Thickness\n7,-10,20,512.5\n9,10,-20,498\n",
         {}, 40, 10, 0, 512.5, "", {{-10, 20, 512.5, 7}, {10, -20, 498, 9}}, 100.0},
        {"Site, x_mm, y_mm, thk; a unit given wins over the header's",
         "Site,x_mm,y_mm,thk (nm)\n12,5,0,100\n11,0,-5,101\n",
         micrometres, 10, 10, 5, 100.0, "\xC2\xB5m", {{5, 0, 100, 12}, {0, -5, 101, 11}}, 100.0},
        {"a name given as written wins over one that matches without its unit",
         "X,Y,Thickness (um),Thickness (nm)\n0,0,1.5,1500\n",
         exactName, 200, 100, 100, 1500.0, "nm", {{0, 0, 1500, 1}}, 100.0},
        {"decimal commas with semicolons",
         "X;Y;Thickness (\xC2\xB5m)\n0,00;97,0;0,9724\n-97,0;0,00;0,9701\n",
         wafer200, 200, 100, 3, 0.9724, "\xC2\xB5m", {{0, 97, 0.9724, 1}, {-97, 0, 0.9701, 2}}, 200.0},
        {"decimal commas, no header",
         "0,00;97,0;9724,6\n",
         wafer200, 200, 100, 3, 9724.6, "", {{0, 97, 9724.6, 1}}, 200.0},
        {"a first line of numbers ending in a delimiter is data",
         "10,20,5.5,\n0,0,1,\n",
         cells, 20, 10, 20, 5.5, "", {{10, 20, 5.5, 1}, {0, 0, 1, 2}}, 100.0},
        {"+Y up: a high site lands in the top half",
         "x,y,thk\n0,90,5\n",
         wafer200, 200, 100, 10, 5.0, "", {{0, 90, 5, 1}}, 200.0},
    };
    // clang-format on
    for (const Good& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = NewRecord();
        MessageRecorder recorder;
        ASSERT_EQ(ImportCsvText(c.text, c.options, *record, recorder), 1);
        EXPECT_EQ(recorder.Messages, c.messages);
        EXPECT_EQ(record->Size, c.size);
        EXPECT_EQ(record->Value[c.x][c.y], c.value);
        EXPECT_TRUE(record->Valid);
        EXPECT_EQ(record->Unit, c.unit);
        ASSERT_EQ(record->Points.size(), c.points.size());
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            const ThkPoint& p = record->Points[i];
            const ThkPoint& e = c.points[i];
            EXPECT_TRUE(p.X == e.X && p.Y == e.Y && p.Z == e.Z && p.Site == e.Site) << "point " << i;
        }
        // The Import dialog's preview takes the same unit and proposes the wafer.
        const CsvLayout layout = DetectCsvLayout(c.text, c.options);
        EXPECT_EQ(layout.Unit, c.unit);
        EXPECT_EQ(layout.ProposedDiameter, c.proposed);
    }
}

// A line that cannot be read is named with its line number, and nothing is
// loaded.
TEST(CsvImport, RefusesWithOneMessage) {
    CsvImportOptions missing;
    missing.ZColumn = "thickness";
    CsvImportOptions small;
    small.Diameter = 10.0;
    CsvImportOptions point;
    point.DecimalComma = CsvDecimal::Point;
    const struct {
        const char* name;
        std::string text;
        CsvImportOptions options;
        std::string message;
    } cases[] = {
        {"a word for a number", "x,y,z\n0,0,1\n\n1,1,abc\n", {}, "CSV data error. -> 'abc' Line: 4"},
        {"a missing field", "x,y,z\n0,0\n", {}, "CSV data error. -> '' Line: 2"},
        {"no such column", "x,y,z\n0,0,1\n", missing, "CSV column not found. -> thickness"},
        {"outside the wafer", "x,y,z\n0,0,1\n6,0,1\n", small,
         "CSV point outside the area. -> X:6 Y:0 Line: 3"},
        {"beyond the largest area", "x,y,z\n300,0,1\n", {}, "Size data error.(with in 1<->500) -> 600"},
        {"a header alone", "x,y,z\n", {}, "Data count is zero."},
        {"no column named for the thickness",
         "Site,X(mm),Y(mm),GOF\n1,0,0,0.9\n",
         {},
         "CSV thickness column not found: choose one. -> Site, X(mm), Y(mm), GOF"},
        {"a name that fits two columns without their units",
         "X,Y,Thickness (um),Thickness (nm)\n0,0,1.5,1500\n", missing,
         "CSV column name matches several columns: give it exactly. -> thickness"},
        {"more fields than the header",
         "x,y,z\n0,0,1\n-10,0,1,012.4\n",
         {},
         "CSV line has more fields than the header. -> 4 for 3 Line: 3"},
        {"a thousands separator in a decimal-comma file",
         "x\ty\tz\n0\t0\t9,5\n1\t1\t1,234.5\n",
         {},
         "CSV number with a thousands separator. -> '1,234.5' Line: 3"},
        {"a decimal comma where the point is set", "x;y;z\n0;0;9724,6\n", point,
         "CSV number with a thousands separator. -> '9724,6' Line: 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = NewRecord();
        MessageRecorder recorder;
        EXPECT_EQ(ImportCsvText(c.text, c.options, *record, recorder), -1);
        EXPECT_EQ(recorder.Messages, std::vector<std::string>{c.message});
    }
}

// The unit and the sites belong to the table's record: a clear keeps the
// unit as it keeps the name and drops the sites; a .thk file read into the
// cleared record, as the window loads one, has no unit.
TEST(CsvImport, UnitAndSitesLeaveWithTheTable) {
    auto record = NewRecord();
    ASSERT_EQ(ImportCsvText("x,y,THK [nm]\n0,0,5\n", {}, *record, MessageRecorder()), 1);
    auto copy = NewRecord();
    CopyThkData(*record, *copy);
    EXPECT_EQ(copy->Unit, "nm");
    EXPECT_EQ(copy->Points.size(), 1u);
    ClearThkData(record.get(), 1);
    EXPECT_EQ(record->Unit, "nm");
    EXPECT_TRUE(record->Points.empty());
    ASSERT_EQ(ReadThkText("10\n1,1\n5,5,1,\n", *record, MessageRecorder()), 1);
    EXPECT_EQ(record->Unit, "");
}

}  // namespace
