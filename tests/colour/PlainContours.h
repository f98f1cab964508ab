#pragma once

#include <algorithm>
#include <cstring>
#include <utility>

#include "PlainColorMap.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "data/ThkData.h"

// TraceContours as it was before the start edges were found from node sides:
// every edge put to the start test in scan order. The reference the faster
// scan must match call for call.
namespace plain {

inline unsigned char Visited[ThkGridDim][ThkGridDim];

struct Node {
    int x;
    int y;
    bool operator==(const Node&) const = default;
};

class LevelTracer {
public:
    LevelTracer(const ThkData& record, int size, int width, int height, double level, ContourSink& sink)
        : record_(record),
          size_(size),
          half_(static_cast<int>(size * 0.5)),
          halfW_(width / 2),
          halfH_(height / 2),
          level_(level),
          sink_(sink) {}

    void ScanStartEdges() {
        for (int x = 0; x <= size_; ++x)
            for (int y = 0; y < size_; ++y)
                if (IsStartEdge({x, y}, {x, y + 1})) StartOnColumnEdge(x, y);
        // Lines that cross no edge between (x, y) and (x, y + 1), such as the
        // levels of a surface tilted along X only, are started from the edges
        // between (x, y) and (x + 1, y). Marks are kept, so lines already
        // drawn are not started again.
        for (int x = 0; x < size_; ++x)
            for (int y = 0; y <= size_; ++y)
                if (IsStartEdge({x, y}, {x + 1, y})) StartOnRowEdge(x, y);
    }

private:
    double V(Node n) const { return record_.Value[n.x][n.y]; }
    void Mark(Node n) { Visited[n.x][n.y] = 1; }
    bool Marked(Node n) const { return Visited[n.x][n.y] != 0; }

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
    ContourSink& sink_;
};

inline void TraceContours(const ThkData& record, int size, int width, int height, int levels,
                          const GradationTable& table, bool useRamp, const RampParameters& rampSet,
                          ContourSink& sink) {
    if (!record.Valid) return;
    if (size < 2) return;
    size = std::min(size, ThkMaxSize);
    if (!(record.Max != record.Min)) return;
    const int n = levels;
    for (int k = 1; k <= n; ++k) {
        const double relative = static_cast<double>(k) / (n + 1);
        const Color pen = useRamp ? plain::GetRampColor(static_cast<float>(relative), rampSet)
                                  : plain::GetGradationColor(table, static_cast<float>(1.0 - relative));
        const double level = record.Min + k * (record.Max - record.Min) / (n + 1);
        sink.BeginLevel(k, level, pen);
        for (int x = 0; x <= size; ++x)
            std::memset(Visited[x], 0, static_cast<size_t>(size + 1));
        LevelTracer(record, size, width, height, level, sink).ScanStartEdges();
    }
}

}  // namespace plain
