#include "analysis/ThinPlateSpline.h"

#include <Eigen/Dense>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "core/VectorClones.h"

struct ThinPlateSpline::Factors {
    Eigen::PartialPivLU<Eigen::MatrixXd> Lu;
};

ThinPlateSpline::ThinPlateSpline() = default;
ThinPlateSpline::~ThinPlateSpline() = default;
ThinPlateSpline::ThinPlateSpline(ThinPlateSpline&&) noexcept = default;
ThinPlateSpline& ThinPlateSpline::operator=(ThinPlateSpline&&) noexcept = default;

namespace {

MORVAPLOT_VECTOR_BODY double Kernel(double r2) {
    // ln(r2) = k ln 2 + ln(m), r2 = m 2^k with m in [sqrt(1/2), sqrt(2)),
    // and ln(m) = 2 atanh(s), s = (m - 1) / (m + 1), |s| < 0.172: eleven
    // terms of the atanh series leave less than 1e-17. Written with
    // unsigned shifts and adds alone (the 2^62 bias keeps the split
    // non-negative for any r2 >= 0, and k is read as a double through the
    // 2^52 mantissa), so a loop over it runs in vector registers; within a
    // few units in the last place of std::log. A zero distance gives 0.
    constexpr double ln2 = 0.6931471805599453;
    constexpr std::uint64_t low = std::bit_cast<std::uint64_t>(0.70710678118654752);
    constexpr std::uint64_t bias = std::uint64_t{1024} << 52;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(r2);
    const std::uint64_t field = (bits - low + bias) >> 52;  // k + 1024
    const double m = std::bit_cast<double>(bits - (field << 52) + bias);
    const double k = std::bit_cast<double>(field | 0x4330000000000000ull) - (0x1p52 + 1024.0);
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    double p = 1.0 / 21.0;
    p = p * s2 + 1.0 / 19.0;
    p = p * s2 + 1.0 / 17.0;
    p = p * s2 + 1.0 / 15.0;
    p = p * s2 + 1.0 / 13.0;
    p = p * s2 + 1.0 / 11.0;
    p = p * s2 + 1.0 / 9.0;
    p = p * s2 + 1.0 / 7.0;
    p = p * s2 + 1.0 / 5.0;
    p = p * s2 + 1.0 / 3.0;
    p = p * s2 + 1.0;
    const double log = k * ln2 + 2.0 * s * p;
    return 0.5 * r2 * log;
}

}  // namespace

double ThinPlateKernel(double r2) {
    return Kernel(r2);
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

namespace {

// The spline's weighted kernels summed into a column, site by site; the
// inner loop is the kernel alone, in vector registers.
MORVAPLOT_VECTOR_BODY void AddKernels(const double* xs, const double* ys_, const double* ws,
                                      std::size_t sites, double x, const double* __restrict ys, int count,
                                      double* __restrict out) {
    for (std::size_t i = 0; i < sites; ++i) {
        const double dx2 = (x - xs[i]) * (x - xs[i]);
        const double yi = ys_[i], wi = ws[i];
        for (int k = 0; k < count; ++k) {
            const double dy = ys[k] - yi;
            out[k] += wi * Kernel(dy * dy + dx2);
        }
    }
}

}  // namespace

void ThinPlateSpline::Column(double x, const double* ys, int count, double* out) const {
    if (count <= 0) return;
    for (int k = 0; k < count; ++k)
        out[k] = a_[0] + a_[1] * x + a_[2] * ys[k];
    RunVectorized<AddKernels>(x_.data(), y_.data(), w_.data(), x_.size(), x, ys, count, out);
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
