#include "report/StatisticsCells.h"

#include "core/NumberText.h"

QString StatisticNumber(double value) {
    return QString::fromStdString(FormatFixed(value, 8, 3));
}

std::array<QString, StatisticRows> StatisticCells(const AreaStatistics& s) {
    if (s.Count == 0) {
        std::array<QString, StatisticRows> none;
        none.fill(QStringLiteral("---"));
        none[0] = QStringLiteral("0");
        return none;
    }
    const auto n = StatisticNumber;
    return {QString::number(s.Count),
            n(s.Mean),
            n(s.Min),
            QString::number(s.MinX),
            QString::number(s.MinY),
            n(s.Max),
            QString::number(s.MaxX),
            QString::number(s.MaxY),
            n(s.Range),
            n(s.Sigma),
            n(s.Sigma1Pct),
            n(s.Sigma3Pct),
            n(s.UniformityPct),
            n(s.UniformityMaxMinPct)};
}
