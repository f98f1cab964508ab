#include "analysis/ThinPlateSpline.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

struct ThinPlateSpline::Factors {
    Eigen::PartialPivLU<Eigen::MatrixXd> Lu;
};

ThinPlateSpline::ThinPlateSpline() = default;
ThinPlateSpline::~ThinPlateSpline() = default;
ThinPlateSpline::ThinPlateSpline(ThinPlateSpline&&) noexcept = default;
ThinPlateSpline& ThinPlateSpline::operator=(ThinPlateSpline&&) noexcept = default;

double ThinPlateKernel(double r2) {
    return r2 > 0.0 ? 0.5 * r2 * std::log(r2) : 0.0;
}

namespace {

// Whether the sites span the plane: the 3 x 3 moment matrix of (1, x, y)
// about the centroid has a second-moment determinant clearly above zero
// relative to the spread.
bool SpansPlane(std::span<const FitPoint> p) {
    const double n = static_cast<double>(p.size());
    double mx = 0.0, my = 0.0;
    for (const FitPoint& q : p)
        mx += q.X, my += q.Y;
    mx /= n, my /= n;
    double sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (const FitPoint& q : p) {
        sxx += (q.X - mx) * (q.X - mx);
        syy += (q.Y - my) * (q.Y - my);
        sxy += (q.X - mx) * (q.Y - my);
    }
    return sxx * syy - sxy * sxy > 1e-12 * (sxx + syy) * (sxx + syy);
}

bool HasRepeatedPosition(std::span<const FitPoint> p) {
    std::vector<std::size_t> order(p.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto key = [&](std::size_t i) { return std::pair(p[i].X, p[i].Y); };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    return std::adjacent_find(order.begin(), order.end(),
                              [&](std::size_t a, std::size_t b) { return key(a) == key(b); }) != order.end();
}

}  // namespace

int ThinPlateSpline::Fit(std::span<const FitPoint> points, std::span<const double> values) {
    x_.clear(), y_.clear(), w_.clear();
    factors_.reset();
    const std::size_t n = points.size();
    if (n < 3 || values.size() != n || HasRepeatedPosition(points) || !SpansPlane(points)) return -1;
    if (!std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); })) return -1;

    const Eigen::Index m = static_cast<Eigen::Index>(n) + 3;
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(m, m);
    Eigen::VectorXd rhs = Eigen::VectorXd::Zero(m);
    for (std::size_t i = 0; i < n; ++i) {
        const auto r = static_cast<Eigen::Index>(i);
        for (std::size_t j = 0; j < i; ++j) {
            const double dx = points[i].X - points[j].X;
            const double dy = points[i].Y - points[j].Y;
            a(r, static_cast<Eigen::Index>(j)) = a(static_cast<Eigen::Index>(j), r) =
                ThinPlateKernel(dx * dx + dy * dy);
        }
        a(r, m - 3) = a(m - 3, r) = 1.0;
        a(r, m - 2) = a(m - 2, r) = points[i].X;
        a(r, m - 1) = a(m - 1, r) = points[i].Y;
        rhs(r) = values[i];
    }
    auto factors = std::make_unique<Factors>();
    factors->Lu.compute(a);
    const Eigen::VectorXd c = factors->Lu.solve(rhs);
    if (!c.allFinite()) return -1;

    x_.resize(n), y_.resize(n), w_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        x_[i] = points[i].X;
        y_[i] = points[i].Y;
        w_[i] = c(static_cast<Eigen::Index>(i));
    }
    a_[0] = c(m - 3), a_[1] = c(m - 2), a_[2] = c(m - 1);
    factors_ = std::move(factors);
    return 1;
}

double ThinPlateSpline::Value(FitPoint p) const {
    double v = a_[0] + a_[1] * p.X + a_[2] * p.Y;
    for (std::size_t i = 0; i < x_.size(); ++i) {
        const double dx = p.X - x_[i];
        const double dy = p.Y - y_[i];
        v += w_[i] * ThinPlateKernel(dx * dx + dy * dy);
    }
    return v;
}

void ThinPlateSpline::Column(double x, const double* ys, int count, double* out) const {
    if (count <= 0) return;
    const Eigen::Map<const Eigen::ArrayXd> y(ys, count);
    Eigen::Map<Eigen::ArrayXd> v(out, count);
    v = a_[0] + a_[1] * x + a_[2] * y;
    // The smallest normal double stands in for a zero distance: r2 ln(r2) is
    // then 0 exactly, where 0 * ln(0) would be a NaN. Eigen's vector log
    // keeps this loop at a few nanoseconds a site and cell.
    constexpr double tiny = std::numeric_limits<double>::min();
    Eigen::ArrayXd r2(count);
    for (std::size_t i = 0; i < x_.size(); ++i) {
        const double dx = x - x_[i];
        r2 = (y - y_[i]).square() + dx * dx;
        v += (0.5 * w_[i]) * r2 * r2.max(tiny).log();
    }
}

std::vector<double> ThinPlateSpline::LeaveOneOutResiduals() const {
    if (!factors_) return {};
    const std::size_t n = w_.size();
    const Eigen::MatrixXd inverse = factors_->Lu.inverse();
    std::vector<double> residuals(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<Eigen::Index>(i);
        residuals[i] = w_[i] / inverse(k, k);
    }
    return residuals;
}
