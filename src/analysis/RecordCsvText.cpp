#include "analysis/RecordCsvText.h"

#include "core/RoundTripNumber.h"

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
            AppendG17(text, v);
            if (frame.HasWafer) {
                text += ',';
                AppendG17(text, MmFromCentreX(frame, x));
                text += ',';
                AppendG17(text, MmFromCentreY(frame, y));
            }
            text += '\n';
        }
    }
    return text;
}
