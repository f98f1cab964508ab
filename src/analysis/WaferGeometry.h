#pragma once

#include <optional>

// Where the wafer lies on a record: the square of Size file units spans the
// wafer's diameter, so one file unit is DiameterMm / Size mm, and the centre
// is given in file units (the middle of the square unless set).
struct WaferGeometry {
    double DiameterMm = 0.0;        // 0: no wafer, every cell of 0..Size counts
    double EdgeExclusionMm = 0.0;   // band inside the wafer's rim left out of every figure
    std::optional<double> CentreX;  // file units; Size / 2 when not set
    std::optional<double> CentreY;
};

// What is wrong with a geometry, checked once where the user's figures come in.
enum class WaferFault {
    None,
    Diameter,  // negative, not finite or above MaxWaferDiameterMm
    Edge,      // negative or not finite
    Centre,    // a given centre coordinate outside 0..500 (or not finite)
};
// Far above any wafer; it bounds the number of rings of the radial profile.
inline constexpr double MaxWaferDiameterMm = 10000.0;
WaferFault CheckWaferGeometry(const WaferGeometry& geometry);

// A geometry resolved for a record of one Size: everything the mask, the
// profiles and the read-outs need, in file units. A wafer needs a positive
// diameter and a Size of at least 1 (one file unit spans diameter / Size mm);
// otherwise HasWafer is false and the frame measures in file units alone.
struct WaferFrame {
    int Size = 0;  // cells 0..Size on each axis, Size within 0..500
    bool HasWafer = false;
    double CentreX = 0.0;  // file units
    double CentreY = 0.0;
    double MmPerUnit = 1.0;  // diameter / Size with a wafer, else 1 (positions in file units)
    // The kept disc: a cell is inside when its squared distance from the
    // centre in file units is at most this (see InsideKeptDisc). Negative
    // when the exclusion leaves nothing (2 * edge > diameter).
    double KeptRadiusSqUnits = 0.0;
};

// The frame of a checked geometry on a record of the given Size (clamped to
// 0..500).
WaferFrame FrameOf(const WaferGeometry& geometry, int size);

// Relative slack of every comparison of a distance with a circle (the kept
// disc, the rings of the radial profile): 2^-40, about 1e-12. The radius in
// file units comes from the user's decimal millimetres through a few
// roundings to double, each within 2^-53; the slack absorbs them, so a cell
// whose centre lies exactly on a circle for the figures as typed (200 mm,
// 5 mm) counts as reaching it. Squared distances of lattice cells from a
// centre on a half unit are multiples of 1/4 no larger than 5e5, so no other
// cell comes within the slack of a circle.
inline constexpr double CircleSlack = 0x1p-40;

// Squared distance of cell (x, y) from the frame's centre in file units; for
// a centre on a whole or half unit every operation is exact.
inline double DistanceSqUnits(const WaferFrame& frame, int x, int y) {
    const double dx = x - frame.CentreX;
    const double dy = y - frame.CentreY;
    return dx * dx + dy * dy;
}

// Whether a squared distance lies in the kept disc: distance in mm at most
// radius - edge, a cell exactly on that circle inside. Without a wafer every
// distance does.
bool InsideKeptDisc(const WaferFrame& frame, double distanceSqUnits);

// A position in mm from the centre, for a frame with a wafer, in the wafer
// frame: +X to the right, +Y up. Cells count y downward, as the map draws
// them, so the mm Y of a cell is (CentreY - y) * MmPerUnit.
inline double MmFromCentreX(const WaferFrame& frame, double x) {
    return (x - frame.CentreX) * frame.MmPerUnit;
}
inline double MmFromCentreY(const WaferFrame& frame, double y) {
    return (frame.CentreY - y) * frame.MmPerUnit;
}
