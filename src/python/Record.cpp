#include "Record.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr int CellCount = ThkGridDim * ThkGridDim;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// The layout of a pickled record, so a later layout can still read this one.
constexpr int StateLayout = 1;

// The last lattice node along an axis of Size cells at this pitch.
int LastNode(int size, int pitch) {
    const int step = std::max(pitch, 1);
    return std::clamp(size, 0, ThkMaxSize) / step * step;
}

// A fill holds the surface at every cell of its lattice span, from 0: the
// last column and row holding data end it.
void FillExtent(const ThkData& fill, int& extentX, int& extentY) {
    extentX = 0;
    extentY = 0;
    for (int x = ThkMaxSize; x > 0 && extentX == 0; --x)
        if (HasData(fill.Value[x][0])) extentX = x;
    for (int y = ThkMaxSize; y > 0 && extentY == 0; --y)
        if (HasData(fill.Value[0][y])) extentY = y;
}

}  // namespace

const char* RecordKindName(RecordKind kind) {
    switch (kind) {
        case RecordKind::Grid:
            return "grid";
        case RecordKind::Fill:
            return "fill";
        case RecordKind::Difference:
            return "difference";
        case RecordKind::Raw:
            break;
    }
    return "raw";
}

Record Snapshot(const ThkData& from, RecordKind kind, std::string name) {
    auto copy = std::make_shared<ThkData>();
    CopyThkData(from, *copy);
    if (kind != RecordKind::Raw) {
        // The figures of its own cells: a drawing with Raw Range on has put
        // the raw data's Min and Max in their place, and the percentages are
        // set by the text readers only.
        RecalcStatistics(*copy);
        CalcTextRatios(*copy);
    }
    // A surface (a fill, or the difference of two) holds every cell of its
    // lattice span: its pitch is 1 and its data end the span.
    const bool surface = kind == RecordKind::Fill || (kind == RecordKind::Difference && copy->PitchX < 1);
    Record record;
    if (surface) {
        copy->PitchX = copy->PitchY = 1;
        FillExtent(*copy, record.ExtentX, record.ExtentY);
    } else {
        record.ExtentX = LastNode(copy->Size, copy->PitchX);
        record.ExtentY = LastNode(copy->Size, copy->PitchY);
    }
    record.Kind = kind;
    record.Name = std::move(name);
    record.Cells = CountData(&copy->Value[0][0], CellCount);
    record.Data = std::move(copy);
    return record;
}

double Figure(const Record& record, double value) {
    return record.Cells > 0 ? value : NaN;
}

py::array ValuesView(const py::object& self) {
    auto& record = self.cast<Record&>();
    if (!record.Values) {
        // Made with the interpreter lock held, so two threads never make it
        // at once.
        std::shared_ptr<double[]> cells(new double[CellCount]);
        const double* in = &record.Data->Value[0][0];
        for (int i = 0; i < CellCount; ++i)
            cells[i] = HasData(in[i]) ? in[i] : NaN;
        record.Values = std::move(cells);
    }
    constexpr py::ssize_t row = ThkGridDim * static_cast<py::ssize_t>(sizeof(double));
    py::array_t<double> view({ThkGridDim, ThkGridDim}, {row, static_cast<py::ssize_t>(sizeof(double))},
                             record.Values.get(), self);
    view.attr("flags").attr("writeable") = false;
    return view;
}

py::array_t<bool> MaskOf(const Record& record) {
    py::array_t<bool> mask({ThkGridDim, ThkGridDim});
    bool* out = mask.mutable_data();
    const double* in = &record.Data->Value[0][0];
    for (int i = 0; i < CellCount; ++i)
        out[i] = HasData(in[i]);
    return mask;
}

py::tuple RecordState(const Record& record) {
    const ThkData& d = *record.Data;
    const py::tuple whole =
        py::make_tuple(d.Valid, d.Count, d.Size, d.PitchX, d.PitchY, d.ExtentX, d.ExtentY);
    const py::tuple figures = py::make_tuple(d.Divisor, d.Min, d.Max, d.RangeMin, d.RangeMax, d.Mean, d.Range,
                                             d.Sigma, d.Ratio, d.UniformityPct, d.Sigma1Pct, d.Sigma3Pct);
    // The data cells by position when that is smaller than every cell.
    const double* cells = &d.Value[0][0];
    py::object positions = py::none();
    std::vector<double> values;
    const bool sparse = record.Cells * (sizeof(std::int32_t) + sizeof(double)) < CellCount * sizeof(double);
    if (sparse) {
        std::vector<std::int32_t> at;
        at.reserve(static_cast<std::size_t>(record.Cells));
        values.reserve(static_cast<std::size_t>(record.Cells));
        for (int i = 0; i < CellCount; ++i) {
            if (!HasData(cells[i])) continue;
            at.push_back(i);
            values.push_back(cells[i]);
        }
        positions = py::bytes(reinterpret_cast<const char*>(at.data()), at.size() * sizeof(std::int32_t));
    } else {
        values.assign(cells, cells + CellCount);
    }
    return py::make_tuple(
        StateLayout, static_cast<int>(record.Kind), py::bytes(record.Name), whole, figures, positions,
        py::bytes(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(double)),
        py::make_tuple(record.ExtentX, record.ExtentY));
}

Record RecordFromState(const py::tuple& state) {
    if (state.size() != 8 || state[0].cast<int>() != StateLayout)
        throw py::value_error("not the state of a morvaplot Record");
    const int kind = state[1].cast<int>();
    if (kind < 0 || kind > static_cast<int>(RecordKind::Difference))
        throw py::value_error("not the state of a morvaplot Record");
    const auto whole = state[3].cast<py::tuple>();
    const auto figures = state[4].cast<py::tuple>();
    const std::string values = state[6].cast<std::string>();
    auto d = std::make_shared<ThkData>();
    d->Valid = whole[0].cast<bool>();
    d->Count = whole[1].cast<std::int32_t>();
    d->Size = whole[2].cast<std::int32_t>();
    d->PitchX = whole[3].cast<std::int32_t>();
    d->PitchY = whole[4].cast<std::int32_t>();
    d->ExtentX = whole[5].cast<std::int32_t>();
    d->ExtentY = whole[6].cast<std::int32_t>();
    double* const fields[] = {&d->Divisor,  &d->Min,           &d->Max,       &d->RangeMin,
                              &d->RangeMax, &d->Mean,          &d->Range,     &d->Sigma,
                              &d->Ratio,    &d->UniformityPct, &d->Sigma1Pct, &d->Sigma3Pct};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = figures[i].cast<double>();
    double* cells = &d->Value[0][0];
    if (state[5].is_none()) {
        if (values.size() != CellCount * sizeof(double))
            throw py::value_error("not the state of a morvaplot Record");
        std::memcpy(cells, values.data(), values.size());
    } else {
        const std::string at = state[5].cast<std::string>();
        const std::size_t n = at.size() / sizeof(std::int32_t);
        if (at.size() % sizeof(std::int32_t) != 0 || values.size() != n * sizeof(double))
            throw py::value_error("not the state of a morvaplot Record");
        for (std::size_t i = 0; i < n; ++i) {
            std::int32_t p = 0;
            double v = 0.0;
            std::memcpy(&p, at.data() + i * sizeof p, sizeof p);
            std::memcpy(&v, values.data() + i * sizeof v, sizeof v);
            if (p < 0 || p >= CellCount) throw py::value_error("not the state of a morvaplot Record");
            cells[p] = v;
        }
    }
    Record record;
    record.Kind = static_cast<RecordKind>(kind);
    record.Name = state[2].cast<std::string>();
    record.Cells = CountData(cells, CellCount);
    record.Data = std::move(d);
    const auto extent = state[7].cast<py::tuple>();
    record.ExtentX = extent[0].cast<int>();
    record.ExtentY = extent[1].cast<int>();
    return record;
}
