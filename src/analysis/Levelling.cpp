#include "analysis/Levelling.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <numbers>

double Levelling::TiltMagnitude() const {
    return std::hypot(TiltX, TiltY);
}

double Levelling::TiltDirectionDeg() const {
    if (TiltX == 0.0 && TiltY == 0.0) return 0.0;
    return std::atan2(TiltY, TiltX) * 180.0 / std::numbers::pi;
}

int FitLevelling(std::span<const FitPoint> points, std::span<const double> values, LevelKind kind,
                 Levelling& levelling) {
    const int terms = kind == LevelKind::Tilt ? 3 : kind == LevelKind::Bow ? 4 : 0;
    const std::size_t n = points.size();
    if (terms == 0 || n < static_cast<std::size_t>(terms) || values.size() != n ||
        !std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); }))
        return -1;
    Eigen::MatrixXd a(static_cast<Eigen::Index>(n), terms);
    Eigen::VectorXd z(static_cast<Eigen::Index>(n));
    for (std::size_t i = 0; i < n; ++i) {
        const auto r = static_cast<Eigen::Index>(i);
        const FitPoint p = points[i];
        a(r, 0) = 1.0;
        a(r, 1) = p.X;
        a(r, 2) = p.Y;
        if (terms == 4) a(r, 3) = p.X * p.X + p.Y * p.Y;
        z(r) = values[i];
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    if (qr.rank() < terms) return -1;
    const Eigen::VectorXd c = qr.solve(z);
    levelling = {};
    levelling.Kind = kind;
    levelling.Count = static_cast<long>(n);
    levelling.Piston = c(0);
    levelling.TiltX = c(1);
    levelling.TiltY = c(2);
    if (terms == 4) levelling.Bow = c(3);
    return 1;
}

int FitLevelling(const ThkData& record, const std::vector<SurfaceSite>& sites, const WaferFrame& frame,
                 LevelKind kind, Levelling& levelling) {
    std::vector<FitPoint> points;
    std::vector<double> values;
    if (!sites.empty()) {
        for (const SurfaceSite& s : sites) {
            points.push_back(FitPointOf(frame, s.X, s.Y));
            values.push_back(s.Value);
        }
    } else {
        const int size = std::clamp(record.Size, 0, ThkMaxSize);
        for (int x = 0; x <= size; ++x)
            for (int y = 0; y <= size; ++y)
                if (HasData(record.Value[x][y])) {
                    points.push_back(FitPointOf(frame, x, y));
                    values.push_back(record.Value[x][y]);
                }
    }
    if (FitLevelling(points, values, kind, levelling) != 1) return -1;
    levelling.FromSites = !sites.empty();
    return 1;
}

void RemoveLevelling(ThkData& record, const WaferFrame& frame, const Levelling& levelling) {
    const int size = std::clamp(record.Size, 0, ThkMaxSize);
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y)
            if (HasData(record.Value[x][y])) record.Value[x][y] -= levelling.At(FitPointOf(frame, x, y));
    RecalcStatistics(record);
}

void RemoveLevelling(std::vector<SurfaceSite>& sites, const WaferFrame& frame, const Levelling& levelling) {
    for (SurfaceSite& s : sites)
        s.Value -= levelling.At(FitPointOf(frame, s.X, s.Y));
}
