#include "analysis/Zernike.h"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <complex>

ZernikeIndex NollIndex(int j) {
    int n = 0;
    while ((n + 1) * (n + 2) / 2 < j)
        ++n;
    const int base = 2 * j - n * (n + 1);  // Noll's counting within order n
    const int m = n % 2 == 0 ? 2 * ((base + 1) / 4) : 2 * ((base + 2) / 4) - 1;
    return {n, m};
}

std::string ZernikeName(int j) {
    static constexpr const char* names[] = {"piston",
                                            "tilt x",
                                            "tilt y",
                                            "defocus",
                                            "astigmatism 45",
                                            "astigmatism 0",
                                            "coma y",
                                            "coma x",
                                            "trefoil y",
                                            "trefoil x",
                                            "spherical",
                                            "secondary astigmatism 0",
                                            "secondary astigmatism 45",
                                            "tetrafoil 0",
                                            "tetrafoil 45"};
    if (j >= 1 && j <= static_cast<int>(std::size(names))) return names[j - 1];
    const ZernikeIndex z = NollIndex(j);
    return "Z" + std::to_string(j) + " (n " + std::to_string(z.N) + ", m " + std::to_string(z.M) + ")";
}

namespace {

// The radial polynomial as a polynomial in rho^2 after taking out rho^m:
// R_n^m(rho) = rho^m sum_p c_p (rho^2)^p, p = 0 .. (n - m) / 2, with Noll's
// normalisation folded in. rho^m cos(m theta) and rho^m sin(m theta) are the
// real and imaginary parts of (u + i v)^m, so no term needs a root or an angle.
struct RadialTerm {
    int M = 0;
    bool Sine = false;
    std::array<double, MaxZernikeOrder / 2 + 1> C{};
    int Powers = 0;
};

RadialTerm RadialOf(int j) {
    const ZernikeIndex z = NollIndex(j);
    RadialTerm t;
    t.M = z.M;
    t.Sine = z.M > 0 && j % 2 == 1;
    const double norm = std::sqrt(z.M == 0 ? z.N + 1.0 : 2.0 * (z.N + 1.0));
    const auto factorial = [](int k) {
        double f = 1.0;
        for (int i = 2; i <= k; ++i)
            f *= i;
        return f;
    };
    const int half = (z.N - z.M) / 2;
    t.Powers = half + 1;
    for (int k = 0; k <= half; ++k) {
        // rho^(n - 2k) = rho^m (rho^2)^(half - k)
        const double c = (k % 2 ? -1.0 : 1.0) * factorial(z.N - k) /
                         (factorial(k) * factorial((z.N + z.M) / 2 - k) * factorial(half - k));
        t.C[static_cast<std::size_t>(half - k)] = norm * c;
    }
    return t;
}

// Every term's radial polynomial, worked out once for the process; read only.
const std::array<RadialTerm, ZernikeTermCount(MaxZernikeOrder)>& RadialTable() {
    static const auto table = [] {
        std::array<RadialTerm, ZernikeTermCount(MaxZernikeOrder)> t;
        for (int j = 1; j <= ZernikeTermCount(MaxZernikeOrder); ++j)
            t[static_cast<std::size_t>(j - 1)] = RadialOf(j);
        return t;
    }();
    return table;
}

}  // namespace

void ZernikeTerms(double u, double v, int order, double* terms) {
    const int count = ZernikeTermCount(order);
    const double r2 = u * u + v * v;
    std::array<std::complex<double>, MaxZernikeOrder + 1> zm;
    zm[0] = 1.0;
    for (int m = 1; m <= order; ++m)
        zm[static_cast<std::size_t>(m)] = zm[static_cast<std::size_t>(m - 1)] * std::complex(u, v);
    const auto& table = RadialTable();
    for (int j = 1; j <= count; ++j) {
        const RadialTerm& t = table[static_cast<std::size_t>(j - 1)];
        double p = 0.0;
        for (int k = t.Powers - 1; k >= 0; --k)
            p = p * r2 + t.C[static_cast<std::size_t>(k)];
        const std::complex<double> a = zm[static_cast<std::size_t>(t.M)];
        terms[j - 1] = p * (t.Sine ? a.imag() : a.real());
    }
}

double ZernikeFit::Value(FitPoint p) const {
    std::array<double, ZernikeTermCount(MaxZernikeOrder)> terms;
    ZernikeTerms((p.X - CentreX) / Radius, (p.Y - CentreY) / Radius, Order, terms.data());
    double v = 0.0;
    for (std::size_t j = 0; j < Coefficients.size(); ++j)
        v += Coefficients[j] * terms[j];
    return v;
}

void ZernikeFit::Column(double x, const double* ys, int count, double* out) const {
    constexpr std::size_t powers = MaxZernikeOrder / 2 + 1;
    // poly[m][sine][p]: the coefficient of (rho^2)^p rho^m cos or sin (m theta).
    std::array<std::array<std::array<double, powers>, 2>, MaxZernikeOrder + 1> poly{};
    const auto& table = RadialTable();
    for (std::size_t j = 0; j < Coefficients.size(); ++j) {
        const RadialTerm& t = table[j];
        for (int p = 0; p < t.Powers; ++p)
            poly[static_cast<std::size_t>(t.M)][t.Sine][static_cast<std::size_t>(p)] +=
                Coefficients[j] * t.C[static_cast<std::size_t>(p)];
    }
    const double u = (x - CentreX) / Radius;
    for (int k = 0; k < count; ++k) {
        const double v = (ys[k] - CentreY) / Radius;
        const double r2 = u * u + v * v;
        double re = 1.0, im = 0.0, sum = 0.0;
        for (int m = 0; m <= Order; ++m) {
            const auto& c = poly[static_cast<std::size_t>(m)];
            double pc = 0.0, ps = 0.0;
            for (int p = (Order - m) / 2; p >= 0; --p) {
                pc = pc * r2 + c[0][static_cast<std::size_t>(p)];
                ps = ps * r2 + c[1][static_cast<std::size_t>(p)];
            }
            sum += pc * re + ps * im;
            const double next = re * u - im * v;
            im = re * v + im * u;
            re = next;
        }
        out[k] = sum;
    }
}

int FitZernike(std::span<const FitPoint> points, std::span<const double> values, int order, double centreX,
               double centreY, double radius, ZernikeFit& fit) {
    const int count = order >= MinZernikeOrder && order <= MaxZernikeOrder ? ZernikeTermCount(order) : 0;
    const std::size_t n = points.size();
    if (count == 0 || n < static_cast<std::size_t>(count) || values.size() != n || !(radius > 0.0) ||
        !std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); }))
        return -1;
    Eigen::MatrixXd a(static_cast<Eigen::Index>(n), count);
    Eigen::VectorXd z(static_cast<Eigen::Index>(n));
    std::array<double, ZernikeTermCount(MaxZernikeOrder)> terms;
    for (std::size_t i = 0; i < n; ++i) {
        const auto r = static_cast<Eigen::Index>(i);
        ZernikeTerms((points[i].X - centreX) / radius, (points[i].Y - centreY) / radius, order, terms.data());
        for (int j = 0; j < count; ++j)
            a(r, j) = terms[static_cast<std::size_t>(j)];
        z(r) = values[i];
    }
    const Eigen::CompleteOrthogonalDecomposition<Eigen::MatrixXd> cod(a);
    const Eigen::VectorXd c = cod.solve(z);
    const Eigen::VectorXd residuals = z - a * c;
    fit.Order = order;
    fit.CentreX = centreX;
    fit.CentreY = centreY;
    fit.Radius = radius;
    fit.Rank = static_cast<int>(cod.rank());
    fit.Coefficients.assign(c.data(), c.data() + c.size());
    fit.Residuals.assign(residuals.data(), residuals.data() + residuals.size());
    return 1;
}
