#include "analysis/SiteResiduals.h"

#include <cmath>

ResidualSummary SummariseResiduals(const std::vector<SiteResidual>& residuals) {
    ResidualSummary s;
    double sum = 0.0, squares = 0.0;
    for (std::size_t i = 0; i < residuals.size(); ++i) {
        const SiteResidual& r = residuals[i];
        if (!r.Predicted) {
            ++s.Missing;
            continue;
        }
        ++s.Count;
        sum += r.Residual;
        squares += r.Residual * r.Residual;
        if (s.Largest < 0 || std::abs(r.Residual) > s.LargestAbs) {
            s.LargestAbs = std::abs(r.Residual);
            s.Largest = static_cast<int>(i);
        }
    }
    if (s.Count > 0) {
        s.Mean = sum / s.Count;
        s.Rms = std::sqrt(squares / s.Count);
    }
    return s;
}
