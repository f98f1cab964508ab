#pragma once

#include <span>
#include <string>
#include <vector>

#include "analysis/SurfaceSites.h"

// Zernike polynomials on the unit disc, in Noll's single-index order (j from
// 1: piston; tilt x, tilt y; defocus, astigmatism 45, astigmatism 0; coma y,
// coma x, trefoil y, trefoil x; spherical, ...) with Noll's normalisation
// (each term has a mean square of 1 over the disc), so a coefficient is the
// RMS its term adds, in the values' unit. Even j take cos(m theta), odd j
// sin(m theta) (for m > 0); theta counts from +X toward +Y (+Y up).

inline constexpr int MinZernikeOrder = 1;
inline constexpr int MaxZernikeOrder = 10;

// Number of terms of every radial order up to n: (n + 1)(n + 2) / 2.
inline constexpr int ZernikeTermCount(int order) {
    return (order + 1) * (order + 2) / 2;
}

// The radial order n and azimuthal frequency m >= 0 of Noll index j >= 1.
struct ZernikeIndex {
    int N = 0;
    int M = 0;
};
ZernikeIndex NollIndex(int j);

// The term's name: "piston", "tilt x", "tilt y", "defocus", "astigmatism 45",
// "astigmatism 0", "coma y", "coma x", "trefoil y", "trefoil x",
// "spherical", "secondary astigmatism 0", "secondary astigmatism 45",
// "tetrafoil 0", "tetrafoil 45", then "Z<j> (n <n>, m <m>)".
std::string ZernikeName(int j);

// Every term up to the order at (u, v) on the unit disc (the point may lie
// outside it; the polynomials extend), into terms[0 .. ZernikeTermCount-1]
// (terms[j - 1] is Z_j).
void ZernikeTerms(double u, double v, int order, double* terms);

// A least-squares Zernike model on a disc of the fit plane.
struct ZernikeFit {
    int Order = 0;
    double CentreX = 0.0;  // the disc, in the fit plane's unit
    double CentreY = 0.0;
    double Radius = 1.0;
    std::vector<double> Coefficients;  // Coefficients[j - 1] for Z_j
    int Rank = 0;                      // the rank the sites gave the fit (ZernikeTermCount when full)
    std::vector<double> Residuals;     // measured - model at each site

    // The model at a point of the fit plane.
    double Value(FitPoint p) const;
    // The model at (x, ys[k]) for k < count, into out[k]: a column of cells,
    // the terms of one azimuthal frequency summed as one polynomial in
    // rho^2 (the same surface as Value to the rounding).
    void Column(double x, const double* ys, int count, double* out) const;
};

// The coefficients of least squares through the sites (the minimum-norm
// solution when the sites do not determine every term, as a ring of k
// sites cannot tell cos(m theta) from cos((k - m) theta)). 1, or -1 when the
// order is outside 1..10, there are fewer sites than terms, the radius is
// not positive or a value is not finite.
int FitZernike(std::span<const FitPoint> points, std::span<const double> values, int order, double centreX,
               double centreY, double radius, ZernikeFit& fit);
