#pragma once

#include <memory>
#include <span>
#include <vector>

#include "analysis/SurfaceSites.h"

// The thin-plate spline through scattered sites: the smoothest surface (least
// bending energy) that takes every site's value exactly,
//   s(p) = a0 + a1 x + a2 y + sum_i w_i phi(|p - p_i|),   phi(r) = r^2 ln r,
// with sum w_i = sum w_i x_i = sum w_i y_i = 0. Positions are in any one
// length unit (the fit plane's millimetres or cells); the spline does not
// depend on where the origin is or how the plane is turned. Everything is
// worked out in double; the (n + 3) x (n + 3) system is solved by LU
// decomposition with partial pivoting.
class ThinPlateSpline {
public:
    ThinPlateSpline();
    ~ThinPlateSpline();
    ThinPlateSpline(ThinPlateSpline&&) noexcept;
    ThinPlateSpline& operator=(ThinPlateSpline&&) noexcept;

    // Fits the spline through the points and values (one each per site).
    // 1, or -1 when the spline is not defined: fewer than three sites, two
    // sites at one position, all sites on one line, or a non-finite value.
    // A failed fit leaves no spline (SiteCount 0).
    int Fit(std::span<const FitPoint> points, std::span<const double> values);

    std::size_t SiteCount() const { return x_.size(); }

    // The spline at a point.
    double Value(FitPoint p) const;

    // The spline at (x, ys[k]) for k < count, into out[k]: a column of cells,
    // worked on as one vector.
    void Column(double x, const double* ys, int count, double* out) const;

    // For each site, measured - predicted, the prediction being the spline
    // through all the other sites: w_i / (A^-1)_ii of the fitted system (the
    // closed form for an interpolant whose weights solve A c = (z, 0)).
    // Empty without a fit.
    std::vector<double> LeaveOneOutResiduals() const;

    // The weights and the linear part a0, a1, a2 of the fit.
    const std::vector<double>& Weights() const { return w_; }
    const double* Linear() const { return a_; }

private:
    struct Factors;
    std::vector<double> x_;
    std::vector<double> y_;
    std::vector<double> w_;
    double a_[3] = {0.0, 0.0, 0.0};
    std::unique_ptr<Factors> factors_;
};

// r^2 ln r written as r2 ln(r2) / 2 from the squared distance (>= 0); 0 at
// r = 0, within a few units in the last place of r2 std::log(r2) / 2.
double ThinPlateKernel(double r2);
