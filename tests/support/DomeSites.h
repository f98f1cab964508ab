#pragma once

#include <cmath>
#include <memory>
#include <numbers>

#include "data/ThkData.h"
#include "support/RecordFactory.h"

// A smooth dome measured as wafer metrology measures it: a polar pattern of
// sites in millimetres from the centre (+Y up), one cell per mm, kept on the
// record as its points and stored in the cells the import rounds them to.
inline double DomeThickness(double xMm, double yMm, double radiusMm) {
    const double r = std::hypot(xMm, yMm) / radiusMm;
    return 10000.0 - 300.0 * r * r + 15.0 * xMm / radiusMm;
}

// The centre and rings of 8, 16 and 24 sites at 30 %, 60 % and 90 % of the
// radius (49 sites for rings = 3); more rings add 8 sites each further out.
inline std::unique_ptr<ThkData> DomeRecord(int diameterMm = 200, int rings = 3) {
    auto record = NewRecord(diameterMm, 1, 1);
    const double radius = diameterMm / 2.0;
    const auto add = [&](double x, double y) {
        const double z = DomeThickness(x, y, radius);
        record->Points.push_back({x, y, z, static_cast<int>(record->Points.size()) + 1});
        record->Value[static_cast<int>(std::round(radius + x))][static_cast<int>(std::round(radius - y))] = z;
    };
    add(0.0, 0.0);
    for (int ring = 1; ring <= rings; ++ring) {
        const double r = radius * 0.9 * ring / rings;
        for (int k = 0; k < 8 * ring; ++k) {
            const double a = 2.0 * std::numbers::pi * (k + 0.5 * (ring % 2)) / (8 * ring);
            add(r * std::cos(a), r * std::sin(a));
        }
    }
    record->Valid = true;
    RecalcStatistics(*record);
    return record;
}
