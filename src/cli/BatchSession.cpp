#include "cli/BatchSession.h"

#include <cstdlib>

#include "calc/Fill.h"
#include "calc/GridCalc.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "data/ThkReader.h"

BatchSession::BatchSession(const SessionSettings& settings)
    : settings_(settings), records_(std::make_unique<ThkData[]>(3)) {
    ClearThkData(records_.get(), 3);
    InitColorScale(settings_.BorderCount);
}

BatchSession::~BatchSession() = default;

ThkData& BatchSession::Record(int dataType) {
    const int t = dataType < 0 || dataType > 2 ? 0 : dataType;
    return records_[static_cast<std::size_t>(t)];
}

ThkData& BatchSession::ShownRecord() {
    return Record(dataType_);
}

// Labels are read with the C library's conversion: the process runs in the
// "C" numeric locale, so the point is the decimal separator.
float BatchSession::SearchRad() const {
    return static_cast<float>(std::strtod(settings_.SearchRadText.c_str(), nullptr));
}

double BatchSession::AverageWeight() const {
    return std::strtod(settings_.AverageWeightText.c_str(), nullptr);
}

int BatchSession::Load(const std::string& fileName) {
    int result = -1;
    if (fileName.empty()) {
        ShowMessage("<OpenThkData> Filename is NULL.");
    } else {
        ClearThkData(records_.get(), 3);
        result = ReadThkFile(fileName, records_[0]);
    }
    if (result != 1) {
        ClearThkData(records_.get(), 3);
        RedrawAll();
        return -1;
    }
    SelectDataType(0);
    if (settings_.RadOptimize) {
        const float radius = OptimizeSearchRadius(records_[0], settings_.CalcPitch, settings_.MinDataCount);
        if (radius >= 0.0f) settings_.SearchRadText = FormatFixed(radius, 5, 1);
    }
    RedrawAll();
    return 1;
}

void BatchSession::Calc() {
    CalcGrid(records_[0], records_[1], AverageWeight(), SearchRad(), settings_.CalcPitch, 1);
    SelectDataType(1);
    RedrawAll();
}

int BatchSession::Fill() {
    ClearThkData(&records_[2], 1);
    if (RunFill(records_[1], records_[2], settings_.SplineOrder) != 1) return -1;
    SelectDataType(2);
    RedrawAll();
    return 1;
}

void BatchSession::SelectDataType(int dataType) {
    // The group raises its click only when the selection changes.
    if (dataType == dataType_) return;
    dataType_ = dataType;
    RedrawAll();
}

void BatchSession::SelectDrawType(int drawType) {
    if (drawType == drawType_) return;
    drawType_ = drawType;
    if (dataType_ == 1 || dataType_ == 2) RedrawAll();
}

void BatchSession::RedrawAll() {
    const int t = dataType_ < 0 ? 0 : dataType_;
    ThkData& rec = Record(t);
    if (settings_.RawRange && t > 0) {
        rec.Min = records_[0].Min;
        rec.Max = records_[0].Max;
    } else {
        RecalcStatistics(rec);
    }
    // The contour drawing installs the drawing ramp set and leaves it
    // installed; later colour maps use it.
    if (drawType_ == 1 && t == 2) SetRampParameters(DrawingRampSet);
}
