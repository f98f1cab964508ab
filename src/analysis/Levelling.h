#pragma once

#include <span>
#include <vector>

#include "analysis/SurfaceSites.h"
#include "analysis/WaferGeometry.h"
#include "data/ThkData.h"

// Levelling: the least-squares piston and tilt (a plane), or piston, tilt and
// bow (a paraboloid about the wafer centre, the defocus shape), taken out of
// a record for display and analysis. Positions are the fit plane's (mm from
// the wafer centre, +Y up; cells without a wafer), so the tilt is in value
// units per mm and its direction is an angle in the wafer frame.

enum class LevelKind { None, Tilt, Bow };

struct Levelling {
    LevelKind Kind = LevelKind::None;
    bool FromSites = false;  // fitted through the measured sites, else through the record's cells
    long Count = 0;          // sites or cells the fit went through
    double Piston = 0.0;     // value at the centre
    double TiltX = 0.0;      // units per mm (per cell without a wafer), +X
    double TiltY = 0.0;      // +Y (up)
    double Bow = 0.0;        // units per mm^2 of the squared distance from the centre

    // The removed surface at a point of the fit plane.
    double At(FitPoint p) const { return Piston + TiltX * p.X + TiltY * p.Y + Bow * (p.X * p.X + p.Y * p.Y); }
    // The slope's size, and the direction it rises toward in degrees
    // counter-clockwise from +X (-180 to 180; 0 when there is no slope).
    double TiltMagnitude() const;
    double TiltDirectionDeg() const;
};

// The least-squares fit of the kind through the points. 1, or -1 when the
// kind is None, there are fewer points than terms (3, 4 with bow), the
// points do not determine the terms (all on one line) or a value is not
// finite.
int FitLevelling(std::span<const FitPoint> points, std::span<const double> values, LevelKind kind,
                 Levelling& levelling);

// The fit through the sites when there are any, else through the record's
// data cells inside 0..Size, with the frame's positions. 1 or -1 as above.
int FitLevelling(const ThkData& record, const std::vector<SurfaceSite>& sites, const WaferFrame& frame,
                 LevelKind kind, Levelling& levelling);

// What a front end says when the fit fails.
inline constexpr const char* LevellingFailedMessage =
    "Levelling needs sites or cells that span the plane: three, or four with bow.";

// Subtracts the levelling from every data cell of the record (its
// statistics computed again) and from every site's value.
void RemoveLevelling(ThkData& record, const WaferFrame& frame, const Levelling& levelling);
void RemoveLevelling(std::vector<SurfaceSite>& sites, const WaferFrame& frame, const Levelling& levelling);
