#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/Levelling.h"
#include "analysis/ThinPlateSpline.h"
#include "analysis/Zernike.h"
#include "support/RecordFactory.h"

namespace {

using Matrix = std::vector<std::vector<double>>;

// Gaussian elimination with partial pivoting on a dense copy: the plain
// solve the Eigen-based fits are checked against.
std::vector<double> PlainSolve(Matrix a, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t p = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::abs(a[r][c]) > std::abs(a[p][c])) p = r;
        std::swap(a[c], a[p]);
        std::swap(b[c], b[p]);
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (std::size_t k = c; k < n; ++k)
                a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    std::vector<double> x(n);
    for (std::size_t i = n; i-- > 0;) {
        double s = b[i];
        for (std::size_t k = i + 1; k < n; ++k)
            s -= a[i][k] * x[k];
        x[i] = s / a[i][i];
    }
    return x;
}

double Phi(double dx, double dy) {
    const double r = std::hypot(dx, dy);
    return r > 0.0 ? r * r * std::log(r) : 0.0;
}

// The thin-plate spline's system written out and solved plainly; the value
// at (x, y).
struct PlainSpline {
    std::vector<FitPoint> p;
    std::vector<double> c;
    PlainSpline(const std::vector<FitPoint>& points, const std::vector<double>& z) : p(points) {
        const std::size_t n = p.size();
        Matrix a(n + 3, std::vector<double>(n + 3, 0.0));
        std::vector<double> b(n + 3, 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j)
                a[i][j] = Phi(p[i].X - p[j].X, p[i].Y - p[j].Y);
            a[i][n] = a[n][i] = 1.0;
            a[i][n + 1] = a[n + 1][i] = p[i].X;
            a[i][n + 2] = a[n + 2][i] = p[i].Y;
            b[i] = z[i];
        }
        c = PlainSolve(a, b);
    }
    double At(double x, double y) const {
        const std::size_t n = p.size();
        double v = c[n] + c[n + 1] * x + c[n + 2] * y;
        for (std::size_t i = 0; i < n; ++i)
            v += c[i] * Phi(x - p[i].X, y - p[i].Y);
        return v;
    }
};

struct SiteSet {
    std::vector<FitPoint> Points;
    std::vector<double> Values;
};

// n sites scattered over a disc of the radius, with a dome and a ripple.
SiteSet Scattered(int n, double radius, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    SiteSet s;
    while (static_cast<int>(s.Points.size()) < n) {
        const double u = unit(random), v = unit(random);
        if (u * u + v * v > 1.0) continue;
        s.Points.push_back({u * radius, v * radius});
        s.Values.push_back(5000.0 - 80.0 * (u * u + v * v) + 7.0 * std::sin(5.0 * u) * v + 3.0 * u);
    }
    return s;
}

// A square lattice of k x k sites across the disc's square.
SiteSet Lattice(int k, double radius) {
    SiteSet s;
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < k; ++j) {
            const double x = radius * (2.0 * i / (k - 1) - 1.0), y = radius * (2.0 * j / (k - 1) - 1.0);
            s.Points.push_back({x, y});
            s.Values.push_back(900.0 + 0.2 * x - 0.1 * y + 0.001 * x * y);
        }
    return s;
}

TEST(ThinPlateSpline, MatchesThePlainSolveAndTakesEverySite) {
    struct Case {
        const char* what;
        SiteSet sites;
    };
    const Case cases[] = {
        {"25 scattered sites, 150 mm radius", Scattered(25, 150.0, 7)},
        {"60 scattered sites, 100 mm radius", Scattered(60, 100.0, 11)},
        {"7 x 7 lattice (a plane and a saddle)", Lattice(7, 100.0)},
        {"4 sites, 10 cells", Scattered(4, 10.0, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SiteSet& s = c.sites;
        ThinPlateSpline spline;
        ASSERT_EQ(spline.Fit(s.Points, s.Values), 1);
        const PlainSpline plain(s.Points, s.Values);
        const double scale = 1e-9 * 5000.0;
        for (std::size_t i = 0; i < s.Points.size(); ++i)
            EXPECT_NEAR(spline.Value(s.Points[i]), s.Values[i], scale) << "site " << i;
        const double r = std::abs(s.Points.front().X) + 100.0;
        std::vector<double> ys, column(9);
        for (int k = 0; k < 9; ++k)
            ys.push_back(-r + k * r / 4.0);
        for (double x : {-r, -0.3 * r, 0.0, 0.71 * r}) {
            spline.Column(x, ys.data(), 9, column.data());
            for (int k = 0; k < 9; ++k) {
                EXPECT_NEAR(spline.Value({x, ys[k]}), plain.At(x, ys[k]), scale);
                EXPECT_NEAR(column[k], plain.At(x, ys[k]), scale);
            }
        }
        // The closed-form leave-one-out against the plain spline through
        // the other sites.
        const std::vector<double> loo = spline.LeaveOneOutResiduals();
        ASSERT_EQ(loo.size(), s.Points.size());
        for (std::size_t i = 0; i < s.Points.size() && s.Points.size() > 4; ++i) {
            SiteSet others = s;
            others.Points.erase(others.Points.begin() + static_cast<long>(i));
            others.Values.erase(others.Values.begin() + static_cast<long>(i));
            const double predicted =
                PlainSpline(others.Points, others.Values).At(s.Points[i].X, s.Points[i].Y);
            EXPECT_NEAR(loo[i], s.Values[i] - predicted, 1e-7 * 5000.0) << "site " << i;
        }
    }
    // Not defined: three sites on one line, two at one position.
    ThinPlateSpline spline;
    EXPECT_EQ(spline.Fit(std::vector<FitPoint>{{0, 0}, {1, 1}, {2, 2}}, std::vector<double>{1, 2, 3}), -1);
    EXPECT_EQ(
        spline.Fit(std::vector<FitPoint>{{0, 0}, {1, 0}, {0, 1}, {1, 0}}, std::vector<double>{1, 2, 3, 4}),
        -1);
}

// The Zernike terms up to order n span the polynomials x^i y^j with
// i + j <= n on the disc, so least squares on the monomials gives the same
// surface. The monomial fit is solved through its normal equations.
TEST(Zernike, SameSurfaceAsLeastSquaresOnTheMonomials) {
    struct Case {
        const char* what;
        int order;
        SiteSet sites;
        double cx, cy, radius;
    };
    const Case cases[] = {
        {"order 1, plane", 1, Scattered(20, 100.0, 5), 0.0, 0.0, 100.0},
        {"order 2, off-centre disc", 2, Scattered(30, 90.0, 6), 4.0, -3.0, 100.0},
        {"order 4", 4, Scattered(80, 150.0, 8), 0.0, 0.0, 150.0},
        {"order 6", 6, Scattered(120, 150.0, 9), 0.0, 0.0, 150.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZernikeFit fit;
        ASSERT_EQ(FitZernike(c.sites.Points, c.sites.Values, c.order, c.cx, c.cy, c.radius, fit), 1);
        EXPECT_EQ(fit.Rank, ZernikeTermCount(c.order));
        std::vector<std::pair<int, int>> powers;
        for (int i = 0; i <= c.order; ++i)
            for (int j = 0; i + j <= c.order; ++j)
                powers.emplace_back(i, j);
        const auto row = [&](FitPoint p) {
            const double u = (p.X - c.cx) / c.radius, v = (p.Y - c.cy) / c.radius;
            std::vector<double> m;
            for (auto [i, j] : powers)
                m.push_back(std::pow(u, i) * std::pow(v, j));
            return m;
        };
        const std::size_t t = powers.size();
        Matrix normal(t, std::vector<double>(t, 0.0));
        std::vector<double> rhs(t, 0.0);
        for (std::size_t s = 0; s < c.sites.Points.size(); ++s) {
            const std::vector<double> m = row(c.sites.Points[s]);
            for (std::size_t a = 0; a < t; ++a) {
                rhs[a] += m[a] * c.sites.Values[s];
                for (std::size_t b = 0; b < t; ++b)
                    normal[a][b] += m[a] * m[b];
            }
        }
        const std::vector<double> coef = PlainSolve(normal, rhs);
        const auto monomial = [&](FitPoint p) {
            const std::vector<double> m = row(p);
            double v = 0.0;
            for (std::size_t a = 0; a < t; ++a)
                v += coef[a] * m[a];
            return v;
        };
        for (std::size_t s = 0; s < c.sites.Points.size(); ++s) {
            const FitPoint p = c.sites.Points[s];
            EXPECT_NEAR(fit.Value(p), monomial(p), 1e-6);
            EXPECT_NEAR(fit.Residuals[s], c.sites.Values[s] - monomial(p), 1e-6);
        }
        for (double a = 0.0; a < 6.2; a += 0.7)
            for (double r : {0.0, 0.5, 1.0}) {
                const FitPoint p{c.cx + r * c.radius * std::cos(a), c.cy + r * c.radius * std::sin(a)};
                double column = 0.0;
                fit.Column(p.X, &p.Y, 1, &column);
                EXPECT_NEAR(fit.Value(p), monomial(p), 1e-6);
                EXPECT_NEAR(column, monomial(p), 1e-6);
            }
    }
    // Noll's order and names: tilt x is cos(theta), astigmatism 0 cos(2 theta).
    EXPECT_EQ(ZernikeName(2), "tilt x");
    EXPECT_EQ(ZernikeName(6), "astigmatism 0");
    EXPECT_EQ(ZernikeName(11), "spherical");
    EXPECT_EQ(ZernikeName(22), "Z22 (n 6, m 0)");
    double terms[ZernikeTermCount(2)];
    ZernikeTerms(0.6, 0.0, 2, terms);
    EXPECT_NEAR(terms[1], 2.0 * 0.6, 1e-15);                        // 2 rho cos
    EXPECT_NEAR(terms[3], std::sqrt(3.0) * (2 * 0.36 - 1), 1e-15);  // sqrt 3 (2 rho^2 - 1)
    EXPECT_NEAR(terms[5], std::sqrt(6.0) * 0.36, 1e-15);            // sqrt 6 rho^2 cos 2 theta
}

// Levelling takes an exact plane (or plane and bow) out of a record to the
// rounding, through the record's cells or through sites.
TEST(Levelling, RemovesAnExactPlaneAndBow) {
    struct Case {
        const char* what;
        LevelKind kind;
        bool sites;
        double piston, tiltX, tiltY, bow;
        double directionDeg;
    };
    const Case cases[] = {
        {"tilt through the cells", LevelKind::Tilt, false, 5000.0, 0.3, -0.3, 0.0, -45.0},
        {"tilt and bow through the cells", LevelKind::Bow, false, 800.0, 0.0, 0.25, -0.004, 90.0},
        {"tilt through sites", LevelKind::Tilt, true, 1200.0, -0.1, 0.0, 0.0, 180.0},
    };
    WaferGeometry wafer;
    wafer.DiameterMm = 300.0;
    const WaferFrame frame = FrameOf(wafer, 150);  // 2 mm a cell
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = NewRecord(150, 1, 1);
        record->Valid = true;
        const auto height = [&](int x, int y) {
            const double mx = (x - 75) * 2.0, my = (75 - y) * 2.0;  // +Y up
            return c.piston + c.tiltX * mx + c.tiltY * my + c.bow * (mx * mx + my * my);
        };
        std::vector<SurfaceSite> sites;
        for (int x = 0; x <= 150; ++x)
            for (int y = 0; y <= 150; ++y) {
                record->Value[x][y] = height(x, y);
                if (c.sites && x % 30 == 0 && y % 40 == 0)
                    sites.push_back({double(x), double(y), height(x, y), 0, x, y});
            }
        Levelling levelling;
        ASSERT_EQ(FitLevelling(*record, sites, frame, c.kind, levelling), 1);
        EXPECT_EQ(levelling.FromSites, c.sites);
        EXPECT_NEAR(levelling.TiltX, c.tiltX, 1e-12);
        EXPECT_NEAR(levelling.TiltY, c.tiltY, 1e-12);
        EXPECT_NEAR(levelling.Bow, c.bow, 1e-14);
        EXPECT_NEAR(levelling.TiltDirectionDeg(), c.directionDeg, 1e-9);
        RemoveLevelling(*record, frame, levelling);
        RemoveLevelling(sites, frame, levelling);
        for (int x = 0; x <= 150; ++x)
            for (int y = 0; y <= 150; ++y)
                ASSERT_NEAR(record->Value[x][y], 0.0, 1e-9 * c.piston) << x << "," << y;
        for (const SurfaceSite& s : sites)
            EXPECT_NEAR(s.Value, 0.0, 1e-9 * c.piston);
    }
}

}  // namespace
