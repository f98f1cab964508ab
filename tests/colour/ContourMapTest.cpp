#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "PlainContours.h"
#include "TwinRecords.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "support/RecordFactory.h"

namespace {

// A record drawn as rows of digits: row j is y = j, the i-th digit x = i,
// '.' an empty cell. Size is the side minus one; statistics recomputed.
std::unique_ptr<ThkData> GridFromArt(std::initializer_list<const char*> rows) {
    auto record = NewRecord();
    int y = 0;
    for (const char* row : rows) {
        int x = 0;
        for (const char* c = row; *c; ++c) {
            if (*c == ' ') continue;
            record->Value[x++][y] = *c == '.' ? NoData : *c - '0';
        }
        record->Size = x - 1;
        ++y;
    }
    record->Valid = true;
    RecalcStatistics(*record);
    return record;
}

struct TracedPoint {
    int sx, sy;
    double gx, gy;
};

// Keeps every level and every trace (MoveTo starts one) as reported.
class RecordingSink : public ContourSink {
public:
    struct Level {
        int k;
        double value;
        Color pen;
        std::vector<std::vector<TracedPoint>> traces;
    };
    std::vector<Level> Levels;

    void BeginLevel(int k, double level, Color pen) override { Levels.push_back({k, level, pen, {}}); }
    void MoveTo(int sx, int sy, double gx, double gy) override {
        Levels.back().traces.push_back({{sx, sy, gx, gy}});
    }
    void LineTo(int sx, int sy, double gx, double gy) override {
        Levels.back().traces.back().push_back({sx, sy, gx, gy});
    }

    // The traces of one level in grid coordinates, "(x,y) (x,y) | (x,y) ...".
    std::string Grid(size_t level = 0) const {
        std::string text;
        for (const auto& trace : Levels.at(level).traces) {
            if (!text.empty()) text += " | ";
            for (size_t i = 0; i < trace.size(); ++i) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%s(%g,%g)", i ? " " : "",
                              std::round(trace[i].gx * 1000) / 1000, std::round(trace[i].gy * 1000) / 1000);
                text += buf;
            }
        }
        return text;
    }
};

// Every sink call with its arguments' exact bits, in order.
class CallLog : public ContourSink {
public:
    struct Call {
        char kind;
        int a, b;
        std::uint64_t c, d;
        Color pen;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> Calls;
    void BeginLevel(int k, double level, Color pen) override { Add('B', k, 0, level, 0.0, pen); }
    void MoveTo(int sx, int sy, double gx, double gy) override { Add('M', sx, sy, gx, gy, 0); }
    void LineTo(int sx, int sy, double gx, double gy) override { Add('L', sx, sy, gx, gy, 0); }

private:
    void Add(char kind, int a, int b, double c, double d, Color pen) {
        Calls.push_back({kind, a, b, std::bit_cast<std::uint64_t>(c), std::bit_cast<std::uint64_t>(d), pen});
    }
};

class ContourMap : public ::testing::Test {
protected:
    // One level half way between Min and Max unless told otherwise.
    RecordingSink Trace(const ThkData& record, int levels = 1) {
        RecordingSink sink;
        TraceContours(record, record.Size, 301, 301, levels, Table, true, DrawingRampSet, sink);
        return sink;
    }

    GradationTable Table = ColormapPreset();
};

TEST_F(ContourMap, LevelsDivideTheRangeIntoEqualBands) {
    auto record = GridFromArt({"0 1 2 3", "4 5 6 6", "6 6 6 6", "6 6 6 6"});
    const RecordingSink sink = Trace(*record, 5);
    ASSERT_EQ(sink.Levels.size(), 5u);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(sink.Levels[k - 1].k, k);
        EXPECT_DOUBLE_EQ(sink.Levels[k - 1].value, k);
        EXPECT_EQ(sink.Levels[k - 1].pen, GetRampColor(static_cast<float>(k / 6.0), DrawingRampSet)) << k;
    }

    RecordingSink gradation;
    TraceContours(*record, record->Size, 301, 301, 5, Table, false, DrawingRampSet, gradation);
    EXPECT_EQ(gradation.Levels[2].pen, 0x00FF00u);  // level 3 of 5 is the middle
}

TEST_F(ContourMap, OpenLineIsTracedFromItsStartToBothBorders) {
    auto record = GridFromArt({
        "0 0 0 0 0",
        "0 0 0 0 0",
        "0 0 2 0 0",
        "0 2 2 2 0",
        "0 2 2 2 0",
    });
    const RecordingSink sink = Trace(*record);
    ASSERT_EQ(sink.Grid(),
              "(1,2.5) (1.5,2) (2,1.5) (2.5,2) (3,2.5) (3.5,3) (3.5,4) | (1,2.5) (0.5,3) (0.5,4)");
    // Screen: node 2 is the centre pixel 150, one node is 75 pixels. The start
    // row is interpolated in the mirrored frame: 300 - int(112.5) = 188, where
    // a traced point at y 2.5 truncates to 187.
    const auto& first = sink.Levels[0].traces[0];
    EXPECT_EQ(first[0].sx, 75);
    EXPECT_EQ(first[0].sy, 188);
    EXPECT_EQ(first[1].sx, 112);
    EXPECT_EQ(first[1].sy, 150);
}

TEST_F(ContourMap, ClosedLineIsDrawnOnceEachWay) {
    auto record = GridFromArt({
        "0 0 0 0 0",
        "0 0 0 0 0",
        "0 0 2 0 0",
        "0 0 0 0 0",
        "0 0 0 0 0",
    });
    EXPECT_EQ(Trace(*record).Grid(),
              "(2,1.5) (2.5,2) (2,2.5) (1.5,2) (2,1.5) | (2,1.5) (1.5,2) (2,2.5) (2.5,2) (2,1.5)");
}

TEST_F(ContourMap, LevelValuesAreLowInsideATraceAndNeverStartOne) {
    // Level 1. The node equal to it counts as low, so the line bends through
    // it and runs on to x = 2; the edge at x = 2 is not started again since
    // both its nodes are marked.
    auto bend = GridFromArt({
        "2 2 2",
        "0 1 0",
        "2 2 2",
    });
    EXPECT_EQ(Trace(*bend).Grid(), "(0,0.5) (1,1) (2,0.5) | (0,0.5) | (0,1.5) (1,1) (2,1.5) | (0,1.5)");

    auto touching = GridFromArt({
        "0 0 0",
        "1 1 1",
        "2 2 2",
    });
    EXPECT_EQ(Trace(*touching).Grid(), "");
}

TEST_F(ContourMap, SaddleJoinsTheHighCorners) {
    auto highs = GridFromArt({
        "2 0 0",
        "0 2 0",
        "0 0 0",
    });
    EXPECT_EQ(Trace(*highs).Grid(), "(0,0.5) (0.5,1) (1,1.5) (1.5,1) (1,0.5) (0.5,0) | (0,0.5)");

    // Lows on the diagonal: the corner (0,0) is cut off, and the loop round
    // (1,1) is not started from (1,0)-(1,1), whose nodes the first line marked.
    auto lows = GridFromArt({
        "0 2 2",
        "2 0 2",
        "2 2 2",
    });
    EXPECT_EQ(Trace(*lows).Grid(),
              "(0,0.5) (0.5,0) | (0,0.5) | (1,1.5) (1.5,1) (1,0.5) (0.5,1) (1,1.5) | "
              "(1,1.5) (0.5,1) (1,0.5) (1.5,1) (1,1.5)");
}

TEST_F(ContourMap, TiltAlongXIsTracedFromTheOtherEdges) {
    // No edge (x, y)-(x, y + 1) crosses the level: the line is started from
    // the edges (x, y)-(x + 1, y), turned at y = 0 so it runs into the grid.
    auto tilt = GridFromArt({
        "0 0 4 4 4",
        "0 0 4 4 4",
        "0 0 4 4 4",
        "0 0 4 4 4",
        "0 0 4 4 4",
    });
    const RecordingSink sink = Trace(*tilt);
    ASSERT_EQ(sink.Grid(), "(1.5,0) (1.5,1) (1.5,2) (1.5,3) (1.5,4) | (1.5,0)");
    const auto& trace = sink.Levels[0].traces[0];
    EXPECT_EQ(trace[0].sx, 112);  // int(75 * 0.5 + 150 * 0.5)
    EXPECT_EQ(trace[0].sy, 0);
    EXPECT_EQ(trace[4].sx, 112);
    EXPECT_EQ(trace[4].sy, 300);
}

TEST_F(ContourMap, StartOnTheRightBorderRunsIntoTheGridFirst) {
    // The only start edge lies on the right border, x = 4: the first trace
    // runs into the grid, the second ends at once on the border.
    auto record = GridFromArt({
        "0 0 0 0 0",
        "0 0 0 0 0",
        "0 0 0 0 4",
        "0 0 0 0 0",
        "0 0 0 0 0",
    });
    EXPECT_EQ(Trace(*record).Grid(), "(4,1.5) (3.5,2) (4,2.5) | (4,1.5)");
}

TEST_F(ContourMap, EmptyCellsEndLinesLikeTheBorder) {
    auto margin = GridFromArt({
        "0 0 2 2 .",
        "0 0 2 2 .",
        "0 0 2 2 .",
        ". . . . .",
        ". . . . .",
    });
    EXPECT_EQ(Trace(*margin).Grid(), "(1.5,0) (1.5,1) (1.5,2) | (1.5,0)");

    auto hole = GridFromArt({
        "2 2 2 .",
        "2 0 2 .",
        "2 2 2 .",
        ". . . .",
    });
    EXPECT_EQ(Trace(*hole).Grid(),
              "(1,0.5) (1.5,1) (1,1.5) (0.5,1) (1,0.5) | (1,0.5) (0.5,1) (1,1.5) (1.5,1) (1,0.5)");
}

TEST_F(ContourMap, FillWithAnEmptyMarginStaysInsideItsData) {
    auto record = NewRecord(500, 30, 30);
    record->Valid = true;
    for (int x = 0; x <= 480; ++x)
        for (int y = 0; y <= 480; ++y)
            record->Value[x][y] = 100.0 + 10.0 * std::sin(x / 70.0) * std::cos(y / 90.0);
    RecalcStatistics(*record);
    const RecordingSink sink = Trace(*record, 5);
    size_t points = 0;
    for (const auto& level : sink.Levels)
        for (const auto& trace : level.traces)
            for (const TracedPoint& p : trace) {
                ++points;
                ASSERT_LE(p.gx, 480.0);
                ASSERT_LE(p.gy, 480.0);
            }
    EXPECT_GT(points, 1000u);
}

TEST_F(ContourMap, NoLinesForAnEmptyRangeOrATinyGrid) {
    // Equal Min and Max (as the Raw Range rule may set them) over data that
    // differs from them only by rounding.
    auto flat = GridFromArt({"5 5 5", "5 5 5", "5 5 5"});
    for (int x = 0; x <= 2; ++x)
        for (int y = 0; y <= 2; ++y)
            flat->Value[x][y] += (x + y) % 2 ? 1e-12 : -1e-12;
    flat->Min = flat->Max = 5.0;
    EXPECT_TRUE(Trace(*flat, 5).Levels.empty());

    auto tiny = GridFromArt({"0 2", "2 0"});
    EXPECT_TRUE(Trace(*tiny).Levels.empty());
    QImage image(301, 301, QImage::Format_RGB32);
    DrawContourLines(image, *tiny, tiny->Size, 1, Table, true, DrawingRampSet, Color{0xFF0000});
    EXPECT_EQ(image.size(), QSize(301, 301));
    for (int y = 0; y < 301; ++y)
        for (int x = 0; x < 301; ++x)
            ASSERT_EQ(ArgbToColor(image.pixel(x, y)), 0xFF0000u);
}

TEST_F(ContourMap, SegmentsLeaveOutTheirEndPixel) {
    // Level 1.5 between rows 1 and 2: the trace runs at y 187 from x 150 to
    // the border pixel 300, which the segment does not paint.
    auto record = GridFromArt({"0 0 0", "1 1 1", "3 3 3"});
    QImage image(301, 301, QImage::Format_RGB32);
    DrawContourLines(image, *record, 2, 1, Table, true, DrawingRampSet, Color{0x000000});
    const Color pen = GetRampColor(0.5f, DrawingRampSet);
    auto at = [&](int x, int y) { return ArgbToColor(image.pixel(x, y)); };
    EXPECT_EQ(at(150, 187), pen);
    EXPECT_EQ(at(299, 187), pen);
    EXPECT_EQ(at(300, 187), 0x000000u);
    EXPECT_EQ(at(0, 188), pen);  // the start point is the first pixel painted
    EXPECT_EQ(at(200, 186), 0x000000u);
    EXPECT_EQ(at(200, 188), 0x000000u);
}

TEST_F(ContourMap, PaintContourMapUnderlayOrBlack) {
    auto record = GridFromArt({"0 0 0", "0 4 0", "0 0 0"});
    record->Value[2][2] = NoData;
    const DisplayCondition condition;
    QImage image(301, 301, QImage::Format_RGB32);
    image.fill(Qt::green);  // replaced by black below
    PaintContourMap(image, *record, 1, false, true, 0x000000, 0xFFFFFF, 0xFF0000, condition, Table);
    EXPECT_EQ(ArgbToColor(image.pixel(0, 0)), 0x000000u);
    EXPECT_EQ(ArgbToColor(image.pixel(300, 300)), 0x000000u);
    EXPECT_EQ(ArgbToColor(image.pixel(150, 75)), GetRampColor(0.5f, DrawingRampSet));

    PaintContourMap(image, *record, 1, true, false, 0x000000, 0xFFFFFF, 0xFF0000, condition, Table);
    EXPECT_EQ(ArgbToColor(image.pixel(0, 0)), 0x000000u);      // Min: MapMinColor
    EXPECT_EQ(ArgbToColor(image.pixel(150, 150)), 0xFFFFFFu);  // Max: MapMaxColor
    EXPECT_EQ(ArgbToColor(image.pixel(300, 300)), 0xFF0000u);  // empty: back colour
    EXPECT_EQ(ArgbToColor(image.pixel(150, 75)), 0x00FF00u);   // line in the gradation middle
}

TEST_F(ContourMap, TracedLikeThePlainEdgeScan) {
    const std::vector<TwinRecord> records = TwinRecords();
    for (const TwinRecord& r : records)
        // 300 levels are too many to count per node in a byte.
        for (int levels : {1, 5, 50, 300}) {
            if (levels == 50 && r.record->Size > 200) continue;
            if (levels == 300 && r.record->Size != 120) continue;
            for (int size : {r.record->Size, 3}) {
                if (size == 3 && levels != 5) continue;
                CallLog expected;
                plain::TraceContours(*r.record, size, 301, 301, levels, Table, true, DrawingRampSet,
                                     expected);
                CallLog traced;
                TraceContours(*r.record, size, 301, 301, levels, Table, true, DrawingRampSet, traced);
                ASSERT_EQ(traced.Calls.size(), expected.Calls.size())
                    << r.label << ", " << levels << " levels";
                for (size_t i = 0; i < expected.Calls.size(); ++i)
                    ASSERT_TRUE(traced.Calls[i] == expected.Calls[i])
                        << r.label << ", " << levels << " levels, call " << i << " ("
                        << expected.Calls[i].kind << ")";
            }
        }
}

}  // namespace

// The drawn picture is the one a painter gives when every traced segment is
// drawn with its own line call (the plain way), including the segments that
// stay on one pixel or step to a neighbour and are set directly, on pictures
// whose lines also run past the edges.
TEST_F(ContourMap, DrawnLikeOneLineCallPerSegment) {
    const std::vector<TwinRecord> records = TwinRecords();
    for (const TwinRecord& r : records)
        for (const QSize picture : {QSize(301, 301), QSize(97, 41), QSize(640, 480)}) {
            QImage drawn(picture, QImage::Format_RGB32);
            DrawContourLines(drawn, *r.record, r.record->Size, 7, Table, true, DrawingRampSet,
                             Color{0x203040});

            CallLog log;
            TraceContours(*r.record, r.record->Size, picture.width(), picture.height(), 7, Table, true,
                          DrawingRampSet, log);
            QImage expected(picture, QImage::Format_RGB32);
            expected.fill(static_cast<uint>(ColorToArgb(0x203040)));
            {
                QPainter painter(&expected);
                painter.setRenderHint(QPainter::Antialiasing, false);
                QPoint current;
                for (const CallLog::Call& call : log.Calls) {
                    if (call.kind == 'B')
                        painter.setPen(QPen(QBrush(QColor::fromRgb(ColorToArgb(call.pen))), 1, Qt::SolidLine,
                                            Qt::FlatCap, Qt::MiterJoin));
                    else if (call.kind == 'M')
                        current = QPoint(call.a, call.b);
                    else {
                        painter.drawLine(current, QPoint(call.a, call.b));
                        current = QPoint(call.a, call.b);
                    }
                }
            }
            EXPECT_TRUE(drawn == expected) << r.label << ", " << picture.width() << " x " << picture.height();
        }
}
