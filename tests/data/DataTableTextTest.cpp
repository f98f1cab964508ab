#include <gtest/gtest.h>

#include <algorithm>

#include "data/DataTableText.h"
#include "support/RecordFactory.h"

TEST(DataTableText, SmallRecordGivesExactTable) {
    auto r = NewRecord(2, 1, 1);
    r->Value[0][0] = 1.5;
    r->Value[1][0] = 2.25;
    EXPECT_EQ(BuildThkDataText(*r, 1),
              "Y\xEF\xBC\xBCX\t0\t1\t2\t\n"
              "0\t1.500\t2.250\t\t\n"
              "1\t\t\t\t\n"
              "2\t\t\t\t\n");
}

TEST(DataTableText, StepsSignsAndEmptyCells) {
    auto r = NewRecord(100, 20, 20);
    r->Value[20][40] = -1.25;
    r->Value[0][0] = 1234.5675;  // stored just above the tie: rounds up
    r->Value[10][0] = 7.0;       // between lattice indices: never listed
    const std::string text = BuildThkDataText(*r, 20);
    EXPECT_EQ(text.substr(0, text.find('\n')), "Y\xEF\xBC\xBCX\t0\t20\t40\t60\t80\t100\t");
    EXPECT_NE(text.find("\n40\t\t-1.250\t\t\t\t\t\n"), std::string::npos);
    EXPECT_NE(text.find("\n0\t1234.568\t\t"), std::string::npos);
    // Seven lines, each with the same number of tab-separated cells.
    int lines = 0;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1, ++lines)
        EXPECT_EQ(std::count(text.begin() + start, text.begin() + end, '\t'), 7);
    EXPECT_EQ(lines, 7);
    // A step larger than Size lists index 0 only; step 0 is step 1.
    EXPECT_EQ(BuildThkDataText(*r, 200), "Y\xEF\xBC\xBCX\t0\t\n0\t1234.568\t\n");
    auto small = NewRecord(1, 1, 1);
    EXPECT_EQ(BuildThkDataText(*small, 0), "Y\xEF\xBC\xBCX\t0\t1\t\n0\t\t\t\n1\t\t\t\n");
}
