#include "colour/ScaleLabels.h"

#include "core/NumberText.h"

namespace {

const char* const NoValueText = "---.---";

double RangeLabelValue(const ThkData& record, int i) {
    return record.Min + (record.Max - record.Min) * 0.25 * i;
}

}  // namespace

ScaleLabelTexts ScaleLabels(const ThkData& record) {
    ScaleLabelTexts texts;
    if (!record.Valid) {
        texts.Range.fill(NoValueText);
        texts.Mean = NoValueText;
        return texts;
    }
    for (int i = 0; i < 5; ++i)
        texts.Range[i] = FormatFixed(RangeLabelValue(record, i), 7, 3);
    texts.Mean = FormatFixed(record.Mean, 8, 3);
    return texts;
}

std::array<std::string, 5> ContourScaleLabels(const ThkData& record) {
    std::array<std::string, 5> texts;
    if (!record.Valid) {
        texts.fill(NoValueText);
        return texts;
    }
    const double divisor = record.Divisor != 0.0 ? record.Divisor : 1.0;
    for (int i = 0; i < 5; ++i)
        texts[i] = FormatFixed(RangeLabelValue(record, i) / divisor, 5, 3);
    return texts;
}
