#include "analysis/RecordDifference.h"

#include <string>

#include "core/Message.h"

int DifferenceOfRecords(const ThkData& first, const ThkData& second, DifferenceOrder order, double time,
                        ThkData& difference, const MessageSink& messages) {
    if (first.Size != second.Size) {
        messages.Show("Different Size data cannot be compared. -> Size: " + std::to_string(first.Size) +
                      " / " + std::to_string(second.Size));
        return -1;
    }
    const ThkData& from = order == DifferenceOrder::FirstMinusSecond ? first : second;
    const ThkData& less = order == DifferenceOrder::FirstMinusSecond ? second : first;
    const bool rate = time > 0.0;
    ClearThkData(&difference, 1);
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            if (HasData(from.Value[x][y]) && HasData(less.Value[x][y])) {
                const double change = from.Value[x][y] - less.Value[x][y];
                difference.Value[x][y] = rate ? change / time : change;
            }
    difference.Valid = true;
    difference.Size = first.Size;
    difference.PitchX = first.PitchX;
    difference.PitchY = first.PitchY;
    difference.ExtentX = first.ExtentX;
    difference.ExtentY = first.ExtentY;
    RecalcStatistics(difference);
    return 1;
}
