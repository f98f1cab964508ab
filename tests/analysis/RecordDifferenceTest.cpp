#include "analysis/RecordCsvText.h"
#include "analysis/RecordDifference.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/MessageRecorder.h"
#include "support/RecordFactory.h"

namespace {

// A file less itself is zero wherever it holds data; a known pair gives its
// change, and over a time its rate, in the order asked; only cells with data
// in both count; maps of different Size are refused.
TEST(RecordDifference, ChangeRateOrderAndRefusal) {
    auto pre = NewRecord(100, 10, 10);
    auto post = NewRecord(100, 10, 10);
    pre->Value[10][20] = 1000.0;
    post->Value[10][20] = 940.0;
    pre->Value[30][30] = 1000.0;  // no partner
    pre->Valid = post->Valid = true;
    auto diff = NewRecord();

    ASSERT_EQ(
        DifferenceOfRecords(*pre, *pre, DifferenceOrder::FirstMinusSecond, 0.0, *diff, MessageRecorder()), 1);
    EXPECT_EQ(diff->Value[10][20], 0.0);
    EXPECT_EQ(diff->Value[30][30], 0.0);
    EXPECT_EQ(diff->Count, 2);

    const struct {
        const char* name;
        DifferenceOrder order;
        double time;
        double expected;
    } cases[] = {
        {"pre - post: the removal", DifferenceOrder::FirstMinusSecond, 0.0, 60.0},
        {"post - pre", DifferenceOrder::SecondMinusFirst, 0.0, -60.0},
        {"removal per minute over 2 minutes", DifferenceOrder::FirstMinusSecond, 2.0, 30.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(DifferenceOfRecords(*pre, *post, c.order, c.time, *diff, MessageRecorder()), 1);
        EXPECT_EQ(diff->Value[10][20], c.expected);
        EXPECT_FALSE(HasData(diff->Value[30][30]));
        EXPECT_EQ(diff->Count, 1);
        EXPECT_EQ(diff->Size, 100);
    }

    auto other = NewRecord(200, 10, 10);
    MessageRecorder recorder;
    EXPECT_EQ(DifferenceOfRecords(*pre, *other, DifferenceOrder::FirstMinusSecond, 0.0, *diff, recorder), -1);
    EXPECT_EQ(recorder.Messages,
              std::vector<std::string>{"Different Size data cannot be compared. -> Size: 100 / 200"});
}

// The exported table: the header, every data cell in x-major order with 17
// significant digits, the positions in mm only with a wafer.
TEST(RecordCsvText, CellsInXMajorOrderWithMillimetresForAWafer) {
    auto record = NewRecord(100, 1, 1);
    record->Value[50][10] = 0.1;
    record->Value[0][99] = -2.5;
    EXPECT_EQ(RecordCsvText(*record, WaferFrame{}), "x,y,value\n0,99,-2.5\n50,10,0.10000000000000001\n");
    WaferGeometry wafer;
    wafer.DiameterMm = 200.0;
    EXPECT_EQ(RecordCsvText(*record, FrameOf(wafer, 100)),
              "x,y,value,x_mm,y_mm\n0,99,-2.5,-100,-98\n50,10,0.10000000000000001,0,80\n");
}

}  // namespace
