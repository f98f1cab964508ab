#include "colour/ContourMap.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "colour/ColorMap.h"
#include "core/VectorClones.h"

namespace {

// The background of a contour picture drawn without the colour-map underlay.
constexpr Color ContourBackColor = 0x000000;

// Side of a grid node against the current level: NodeAbove when it holds
// data and value - level > 0, NodeBelow when it holds data and value - level
// < 0, else 0. Only an edge with one node of each side can pass the start
// test, whose product of the two differences is negative only for opposite
// strict signs. Rows are padded with zeros past the grid (and past Size), so
// whole words can be read at any start row up to the last node.
constexpr unsigned char NodeAbove = 1;
constexpr unsigned char NodeBelow = 2;
constexpr int SideRowBytes = 512 + 8;

MORVAPLOT_VECTOR_BODY void ClassifyNodesBody(const double* values, int count, double level, unsigned char* sides) {
    for (int y = 0; y < count; ++y) {
        const double v = values[y];
        const double d = v - level;
        const bool data = v > NoData;
        sides[y] = static_cast<unsigned char>((data & (d > 0.0) ? NodeAbove : 0) |
                                              (data & (d < 0.0) ? NodeBelow : 0));
    }
}

void ClassifyNodes(const double* values, int count, double level, unsigned char* sides) {
    RunVectorized<ClassifyNodesBody>(values, count, level, sides);
}

// For levels that rise (each at least the one before) and are finite, the
// sides of every level follow from two counts per node, made in one pass over
// the record: the levels strictly below the value (under), and those at or
// below it (reached). The node lies above level k (1-based) when k <= under
// and below it when k > reached. A node without data, and the padding, count
// 0 and 255: on neither side of any level.
constexpr int MaxCountedLevels = 250;

// The working store of one trace, column x of each array at x times its row
// length. Every byte a trace reads is written by that trace first (visited
// marks are cleared per level, sides and counts rewritten), so the store is
// not cleared when it is made.
struct ContourScratch {
    // One byte per grid node, ThkGridDim per column, cleared at the start of
    // every level: a start edge whose two nodes are both marked already
    // belongs to a traced line.
    std::unique_ptr<unsigned char[]> Visited;
    // SideRowBytes per column: the sides of the current level, and the two
    // counts per node when the levels are counted.
    std::unique_ptr<unsigned char[]> Sides;
    std::unique_ptr<unsigned char[]> Under;
    std::unique_ptr<unsigned char[]> Reached;

    // Room for columns 0..size.
    void Fit(int size, bool counted) {
        const auto columns = static_cast<size_t>(size) + 1;
        Visited = std::make_unique_for_overwrite<unsigned char[]>(columns * ThkGridDim);
        Sides = std::make_unique_for_overwrite<unsigned char[]>(columns * SideRowBytes);
        if (counted) {
            Under = std::make_unique_for_overwrite<unsigned char[]>(columns * SideRowBytes);
            Reached = std::make_unique_for_overwrite<unsigned char[]>(columns * SideRowBytes);
        }
    }
    unsigned char* VisitedColumn(int x) { return Visited.get() + static_cast<size_t>(x) * ThkGridDim; }
    unsigned char* SideColumn(int x) { return Sides.get() + static_cast<size_t>(x) * SideRowBytes; }
    unsigned char* UnderColumn(int x) { return Under.get() + static_cast<size_t>(x) * SideRowBytes; }
    unsigned char* ReachedColumn(int x) { return Reached.get() + static_cast<size_t>(x) * SideRowBytes; }
};

MORVAPLOT_VECTOR_BODY void CountLevelsBody(const double* values, int count, const double* levels, int n,
                                           unsigned char* under, unsigned char* reached) {
    long long strictly[ThkGridDim];
    long long atOrBelow[ThkGridDim];
    for (int y = 0; y < count; ++y)
        strictly[y] = atOrBelow[y] = 0;
    for (int k = 0; k < n; ++k) {
        const double level = levels[k];
        for (int y = 0; y < count; ++y) {
            strictly[y] += values[y] > level ? 1 : 0;
            atOrBelow[y] += values[y] >= level ? 1 : 0;
        }
    }
    for (int y = 0; y < count; ++y) {
        const bool data = values[y] > NoData;
        under[y] = static_cast<unsigned char>(data ? strictly[y] : 0);
        reached[y] = static_cast<unsigned char>(data ? atOrBelow[y] : 255);
    }
}

void CountLevels(const double* values, int count, const double* levels, int n, unsigned char* under,
                 unsigned char* reached) {
    RunVectorized<CountLevelsBody>(values, count, levels, n, under, reached);
}

MORVAPLOT_VECTOR_BODY void SidesFromCountsBody(const unsigned char* under, const unsigned char* reached, int count,
                                               unsigned char k, unsigned char* sides) {
    for (int y = 0; y < count; ++y) {
        const unsigned char above = under[y] >= k ? NodeAbove : 0;
        const unsigned char below = reached[y] < k ? NodeBelow : 0;
        sides[y] = above | below;
    }
}

void SidesFromCounts(const unsigned char* under, const unsigned char* reached, int count, unsigned char k,
                     unsigned char* sides) {
    RunVectorized<SidesFromCountsBody>(under, reached, count, k, sides);
}

// Eight side bytes starting at p, byte k (row y + k) in bits 8k..8k+7.
std::uint64_t LoadSides(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// Bit 8k set where byte k of the OR of two side words holds both sides.
std::uint64_t OppositeSides(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t both = a | b;
    return both & (both >> 1) & 0x0101010101010101ull;
}

struct Node {
    int x;
    int y;
    bool operator==(const Node&) const = default;
};

// Traces the lines of one level. Nodes with value <= level count as low and
// the others as high; every exit choice keeps the entry edge's orientation
// (high node first or low node first), so a closed line returns to its start
// edge in the same node order, and a saddle cell always joins its two high
// corners.
class LevelTracer {
public:
    LevelTracer(const ThkData& record, int size, int width, int height, double level, ContourScratch& scratch,
                ContourSink& sink)
        : record_(record),
          size_(size),
          half_(static_cast<int>(size * 0.5)),
          halfW_(width / 2),
          halfH_(height / 2),
          level_(level),
          visited_(scratch.Visited.get()),
          sides_(scratch.Sides.get()),
          sink_(sink) {}

    // Every edge in scan order, each put to IsStartEdge when its turn comes
    // (marks change while lines are traced); edges whose nodes are not on
    // opposite sides of the level cannot pass and are skipped eight at a
    // time. Sides must hold this level.
    void ScanStartEdges() {
        for (int x = 0; x <= size_; ++x) {
            const unsigned char* column = Side(x);
            for (int y0 = 0; y0 < size_; y0 += 8) {
                std::uint64_t found = OppositeSides(LoadSides(column + y0), LoadSides(column + y0 + 1));
                for (; found != 0; found &= found - 1) {
                    const int y = y0 + std::countr_zero(found) / 8;
                    if (y < size_ && IsStartEdge({x, y}, {x, y + 1})) StartOnColumnEdge(x, y);
                }
            }
        }
        // Lines that cross no edge between (x, y) and (x, y + 1), such as the
        // levels of a surface tilted along X only, are started from the edges
        // between (x, y) and (x + 1, y). Marks are kept, so lines already
        // drawn are not started again.
        for (int x = 0; x < size_; ++x) {
            for (int y0 = 0; y0 <= size_; y0 += 8) {
                std::uint64_t found = OppositeSides(LoadSides(Side(x) + y0), LoadSides(Side(x + 1) + y0));
                for (; found != 0; found &= found - 1) {
                    const int y = y0 + std::countr_zero(found) / 8;
                    if (y <= size_ && IsStartEdge({x, y}, {x + 1, y})) StartOnRowEdge(x, y);
                }
            }
        }
    }

private:
    double V(Node n) const { return record_.Value[n.x][n.y]; }
    unsigned char& Visit(Node n) const { return visited_[static_cast<size_t>(n.x) * ThkGridDim + n.y]; }
    void Mark(Node n) { Visit(n) = 1; }
    bool Marked(Node n) const { return Visit(n) != 0; }
    const unsigned char* Side(int x) const { return sides_ + static_cast<size_t>(x) * SideRowBytes; }

    // Strictly between the two values (a node equal to the level never starts
    // a line), both nodes holding data, and not both visited.
    bool IsStartEdge(Node a, Node b) const {
        const double va = V(a);
        const double vb = V(b);
        if (!((vb - level_) * (va - level_) < 0.0)) return false;
        if (!HasData(va) || !HasData(vb)) return false;
        return !(Marked(a) && Marked(b));
    }

    // Pixel of a node coordinate, in integers truncating toward zero.
    int NodeX(int x) const { return halfW_ + ((x - half_) * halfW_) / half_; }
    int NodeY(int y) const { return halfH_ + ((y - half_) * halfH_) / half_; }

    void StartOnColumnEdge(int x, int y) {
        Node a{x, y};
        Node b{x, y + 1};
        if (x == size_) std::swap(a, b);  // the first trace then runs into the grid
        Mark(a);
        Mark(b);
        const double f = (record_.Value[x][y] - level_) / (record_.Value[x][y] - record_.Value[x][y + 1]);
        const int sx = NodeX(x);
        // The rows interpolated in the mirrored frame, then mirrored back.
        const int ya = halfH_ - ((y - half_) * halfH_) / half_;
        const int yb = halfH_ - ((y + 1 - half_) * halfH_) / half_;
        const int sy = 2 * halfH_ - static_cast<int>((1.0 - f) * ya + f * yb);
        TraceBothWays(a, b, sx, sy, x, y + f);
    }

    void StartOnRowEdge(int x, int y) {
        Node a{x, y};
        Node b{x + 1, y};
        if (y == 0) std::swap(a, b);  // the first trace then runs into the grid
        Mark(a);
        Mark(b);
        const double f = (record_.Value[x][y] - level_) / (record_.Value[x][y] - record_.Value[x + 1][y]);
        const int sx = static_cast<int>((1.0 - f) * NodeX(x) + f * NodeX(x + 1));
        TraceBothWays(a, b, sx, NodeY(y), x + f, y);
    }

    void TraceBothWays(Node a, Node b, int sx, int sy, double gx, double gy) {
        sink_.MoveTo(sx, sy, gx, gy);
        Trace(a, b);
        sink_.MoveTo(sx, sy, gx, gy);
        Trace(b, a);
    }

    bool OnBorder(Node a, Node b) const {
        return (a.x == 0 && b.x == 0) || (a.x == size_ && b.x == size_) || (a.y == 0 && b.y == 0) ||
               (a.y == size_ && b.y == size_);
    }

    void Trace(Node p, Node q) {
        const Node startP = p;
        const Node startQ = q;
        // Each step crosses a different edge of one line, so a trace is never
        // longer than the edge count; the bound only guards against a loop.
        const long maxSteps = 2L * (size_ + 1) * (size_ + 1);
        for (long step = 0; step < maxSteps; ++step) {
            // 1: toward +y, 2: toward -x, 3: toward -y, 4: toward +x.
            int direction;
            if (q.y == p.y)
                direction = q.x < p.x ? 1 : 3;
            else
                direction = q.y < p.y ? 2 : 4;

            Node r;
            Node s;
            switch (direction) {
                case 1:
                    if (!(q.y < size_)) return;
                    r = {p.x, p.y + 1};
                    s = {q.x, q.y + 1};
                    break;
                case 2:
                    if (!(q.x >= 1)) return;
                    r = {p.x - 1, p.y};
                    s = {q.x - 1, q.y};
                    break;
                case 3:
                    if (!(q.y >= 1)) return;
                    r = {p.x, p.y - 1};
                    s = {q.x, q.y - 1};
                    break;
                default:
                    if (!(q.x < size_)) return;
                    r = {p.x + 1, p.y};
                    s = {q.x + 1, q.y};
                    break;
            }
            // A cell with an empty node ends the line like the border does:
            // -99999.0 is not a thickness to interpolate toward.
            if (!HasData(V(r)) || !HasData(V(s))) return;
            Mark(r);
            Mark(s);

            const double vP = V(p);
            const double vQ = V(q);
            const double vR = V(r);
            const double vS = V(s);
            Node from;  // exit edge from -> to
            Node to;
            Node nextP;  // new entry edge
            Node nextQ;
            enum { ExitPR, ExitRS, ExitQS } exit;
            if (vQ <= vP) {
                if (vS <= level_)
                    exit = vR <= level_ ? ExitPR : ExitRS;
                else
                    exit = ExitQS;
            } else {
                if (vR <= level_)
                    exit = vS <= level_ ? ExitQS : ExitRS;
                else
                    exit = ExitPR;
            }
            switch (exit) {
                case ExitPR:
                    from = p;
                    to = r;
                    nextP = p;
                    nextQ = r;
                    break;
                case ExitRS:
                    from = r;
                    to = s;
                    nextP = r;
                    nextQ = s;
                    break;
                default:
                    from = q;
                    to = s;
                    nextP = s;
                    nextQ = q;
                    break;
            }

            const double vFrom = V(from);
            const double w = (level_ - vFrom) / (V(to) - vFrom);
            const double gx = from.x + w * (to.x - from.x);
            const double gy = from.y + w * (to.y - from.y);
            const int sx = static_cast<int>(halfW_ + (gx - half_) * halfW_ / half_);
            const int sy = static_cast<int>(halfH_ + (gy - half_) * halfH_ / half_);
            sink_.LineTo(sx, sy, gx, gy);

            if (OnBorder(nextP, nextQ)) return;
            if (nextP == startP && nextQ == startQ) return;  // the line has closed
            p = nextP;
            q = nextQ;
        }
    }

    const ThkData& record_;
    int size_;
    int half_;
    int halfW_;
    int halfH_;
    double level_;
    unsigned char* visited_;
    const unsigned char* sides_;
    ContourSink& sink_;
};

class PainterSink final : public ContourSink {
public:
    // The painter must be active on image.
    PainterSink(QPainter& painter, QImage& image) : painter_(painter) {
        painter_.setRenderHint(QPainter::Antialiasing, false);
        // Painting has already detached the image, so its pixels are written
        // in place without a copy.
        if (image.format() == QImage::Format_RGB32) {
            pixels_ = image.bits();
            bytesPerLine_ = image.bytesPerLine();
            width_ = image.width();
            height_ = image.height();
        }
    }

    void BeginLevel(int, double, Color pen) override {
        // Flat caps leave out the end pixel of every segment, like a classic
        // LineTo, so joined segments do not paint their shared pixel twice.
        painter_.setPen(
            QPen(QBrush(QColor::fromRgb(ColorToArgb(pen))), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        penPixel_ = static_cast<std::uint32_t>(ColorToArgb(pen)) | 0xFF000000u;
    }
    void MoveTo(int sx, int sy, double, double) override { current_ = QPoint(sx, sy); }
    void LineTo(int sx, int sy, double, double) override {
        const QPoint next(sx, sy);
        const int dx = sx - current_.x();
        const int dy = sy - current_.y();
        if (pixels_ && dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) {
            // Half of all segments stay on one pixel or step to a neighbour
            // (a grid cell is under a pixel wide). The line painter paints
            // exactly one pixel of such a segment, the end with the smaller
            // coordinate along the segment's longer axis (x on a diagonal),
            // the start when the segment has no length, and nothing outside
            // the picture; that pixel is set here at once.
            const QPoint pixel = dx < 0 || (dx == 0 && dy < 0) ? next : current_;
            if (pixel.x() >= 0 && pixel.x() < width_ && pixel.y() >= 0 && pixel.y() < height_)
                reinterpret_cast<std::uint32_t*>(pixels_ + static_cast<qsizetype>(pixel.y()) *
                                                               bytesPerLine_)[pixel.x()] = penPixel_;
        } else {
            painter_.drawLine(current_, next);
        }
        current_ = next;
    }

private:
    QPainter& painter_;
    QPoint current_;
    uchar* pixels_ = nullptr;  // only for an RGB32 picture
    qsizetype bytesPerLine_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::uint32_t penPixel_ = 0;
};

// Sides of nodes 0..size of columns 0..size against level, zero past them.
void ClassifyLevel(const ThkData& record, int size, double level, ContourScratch& scratch) {
    for (int x = 0; x <= size; ++x) {
        unsigned char* sides = scratch.SideColumn(x);
        ClassifyNodes(record.Value[x], size + 1, level, sides);
        std::memset(sides + size + 1, 0, static_cast<size_t>(SideRowBytes - (size + 1)));
    }
}

// Whether the sides of these levels can come from the counts per node:
// finite, rising and few enough to count in a byte.
bool CountableLevels(const std::vector<double>& levels) {
    if (levels.size() > static_cast<size_t>(MaxCountedLevels)) return false;
    for (size_t k = 0; k < levels.size(); ++k) {
        if (!std::isfinite(levels[k])) return false;
        if (k > 0 && !(levels[k - 1] <= levels[k])) return false;
    }
    return true;
}

void CountAllLevels(const ThkData& record, int size, const std::vector<double>& levels,
                    ContourScratch& scratch) {
    for (int x = 0; x <= size; ++x) {
        unsigned char* under = scratch.UnderColumn(x);
        unsigned char* reached = scratch.ReachedColumn(x);
        CountLevels(record.Value[x], size + 1, levels.data(), static_cast<int>(levels.size()), under,
                    reached);
        std::memset(under + size + 1, 0, static_cast<size_t>(SideRowBytes - (size + 1)));
        std::memset(reached + size + 1, 255, static_cast<size_t>(SideRowBytes - (size + 1)));
    }
}

// Sides of level k (1-based) from the counts, zero past node size.
void SidesOfCountedLevel(int size, int k, ContourScratch& scratch) {
    for (int x = 0; x <= size; ++x)
        SidesFromCounts(scratch.UnderColumn(x), scratch.ReachedColumn(x), SideRowBytes,
                        static_cast<unsigned char>(k), scratch.SideColumn(x));
}

void TraceLevels(const ThkData& record, int size, int width, int height, int n, const GradationTable& table,
                 bool useRamp, const RampParameters& rampSet, ContourSink& sink, ContourScratch& scratch) {
    std::vector<double> levels;
    for (int k = 1; k <= n; ++k)
        levels.push_back(record.Min + k * (record.Max - record.Min) / (n + 1));
    const bool counted = CountableLevels(levels);
    scratch.Fit(size, counted);
    if (counted) CountAllLevels(record, size, levels, scratch);
    for (int k = 1; k <= n; ++k) {
        const double relative = static_cast<double>(k) / (n + 1);
        const Color pen = useRamp ? GetRampColor(static_cast<float>(relative), rampSet)
                                  : GetGradationColor(table, static_cast<float>(1.0 - relative));
        const double level = levels[static_cast<size_t>(k - 1)];
        sink.BeginLevel(k, level, pen);
        for (int x = 0; x <= size; ++x)
            std::memset(scratch.VisitedColumn(x), 0, static_cast<size_t>(size + 1));
        if (counted)
            SidesOfCountedLevel(size, k, scratch);
        else
            ClassifyLevel(record, size, level, scratch);
        LevelTracer(record, size, width, height, level, scratch, sink).ScanStartEdges();
    }
}

}  // namespace

void TraceContours(const ThkData& record, int size, int width, int height, int levels,
                   const GradationTable& table, bool useRamp, const RampParameters& rampSet,
                   ContourSink& sink) {
    if (!record.Valid) return;
    // Below 2 the node-to-pixel scale (half the size) would be zero.
    if (size < 2) return;
    size = std::min(size, ThkMaxSize);
    // An empty range has no level strictly inside it; levels computed anyway
    // would differ from constant data only by rounding and draw noise.
    if (!(record.Max != record.Min)) return;

    ContourScratch scratch;
    TraceLevels(record, size, width, height, levels, table, useRamp, rampSet, sink, scratch);
}

void DrawContourLines(QImage& image, const ThkData& record, int size, int levels, const GradationTable& table,
                      bool useRamp, const RampParameters& rampSet, std::optional<Color> background) {
    const int width = image.width();
    const int height = image.height();
    if (width <= 0 || height <= 0) return;
    if (background) {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(static_cast<uint>(ColorToArgb(*background)));
        {
            QPainter painter(&picture);
            PainterSink sink(painter, picture);
            TraceContours(record, size, width, height, levels, table, useRamp, rampSet, sink);
        }
        image = std::move(picture);
    } else {
        QPainter painter(&image);
        PainterSink sink(painter, image);
        TraceContours(record, size, width, height, levels, table, useRamp, rampSet, sink);
    }
}

void PaintContourMap(QImage& image, const ThkData& record, int levels, bool copyColormap, bool useRamp,
                     Color mapMinColor, Color mapMaxColor, Color backColor, const DisplayCondition& condition,
                     const GradationTable& table) {
    if (copyColormap) {
        // Two stops: the maximum's colour first, as on the gradation scale.
        GradationTable underlay;
        underlay.Count = 2;
        underlay.Colors[0] = mapMaxColor;
        underlay.Colors[1] = mapMinColor;
        DrawColorMap(image, record, false, StartupRampSet, condition, backColor, underlay);
        DrawContourLines(image, record, record.Size, levels, table, useRamp, DrawingRampSet, std::nullopt);
    } else {
        DrawContourLines(image, record, record.Size, levels, table, useRamp, DrawingRampSet,
                         ContourBackColor);
    }
}
