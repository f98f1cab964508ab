#include "data/CsvImportChoices.h"

#include <algorithm>
#include <cctype>
#include <utility>

CsvImportChoices::CsvImportChoices(std::string text, const CsvImportOptions& initial)
    : text_(std::move(text)), options_(initial) {
    Detect();
}

int CsvImportChoices::AxisIndex(int axis) {
    return std::clamp(axis, 0, 2);
}

void CsvImportChoices::Detect() {
    options_.XColumn = options_.YColumn = options_.ZColumn = std::string();
    layout_ = DetectCsvLayout(text_, options_, PreviewRows);
    const int detected[3] = {layout_.XColumn, layout_.YColumn, layout_.ZColumn};
    for (int a = 0; a < 3; ++a)
        SetColumn(a, detected[a]);
}

void CsvImportChoices::SetDelimiter(CsvDelimiter delimiter) {
    options_.Delimiter = delimiter;
    Detect();
}

void CsvImportChoices::SetColumn(int axis, int index) {
    const int names = static_cast<int>(layout_.Names.size());
    columns_[static_cast<std::size_t>(AxisIndex(axis))] = index >= 0 && index < names ? index : -1;
}

CsvImportOptions CsvImportChoices::Options() const {
    CsvImportOptions o = options_;
    std::string* targets[3] = {&o.XColumn, &o.YColumn, &o.ZColumn};
    for (std::size_t a = 0; a < 3; ++a)
        *targets[a] = columns_[a] >= 0 ? std::to_string(columns_[a] + 1) : std::string();
    return o;
}

std::string CsvImportChoices::FoundText() const {
    std::string name = CsvDelimiterNames[static_cast<std::size_t>(layout_.Delimiter)];
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return "found: " + name + (layout_.Header ? ", header row" : ", no header row");
}

std::vector<std::string> CsvImportChoices::ColumnNames() const {
    std::vector<std::string> names;
    names.reserve(layout_.Names.size());
    for (std::size_t i = 0; i < layout_.Names.size(); ++i)
        names.push_back(std::to_string(i + 1) + ": " + layout_.Names[i]);
    return names;
}

std::string CsvImportChoices::DiameterCaption() const {
    return options_.Units == CsvUnits::Millimetres ? "Wafer diameter (mm):" : "Size (cells):";
}

std::string CsvImportChoices::DiameterUnit() const {
    return options_.Units == CsvUnits::Millimetres ? " mm" : "";
}

CsvImportOptions NextImportStart(const CsvImportOptions& last) {
    CsvImportOptions start;
    start.Units = last.Units;
    start.Diameter = last.Diameter;
    return start;
}
