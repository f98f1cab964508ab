#include "analysis/RecordCsvText.h"

#include "analysis/AnalysisText.h"

std::string RecordCsvText(const ThkData& record, const WaferFrame& frame) {
    std::string text = frame.HasWafer ? "x,y,value,x_mm,y_mm\n" : "x,y,value\n";
    for (int x = 0; x < ThkGridDim; ++x) {
        if (CountData(record.Value[x], ThkGridDim) == 0) continue;
        for (int y = 0; y < ThkGridDim; ++y) {
            const double v = record.Value[x][y];
            if (!HasData(v)) continue;
            text += std::to_string(x);
            text += ',';
            text += std::to_string(y);
            text += ',';
            text += FormatG17(v);
            if (frame.HasWafer) {
                text += ',';
                text += FormatG17(MmFromCentreX(frame, x));
                text += ',';
                text += FormatG17(MmFromCentreY(frame, y));
            }
            text += '\n';
        }
    }
    return text;
}
