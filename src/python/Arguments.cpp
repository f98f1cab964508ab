#include "Arguments.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "core/NumberText.h"
#include "session/Prepare.h"

namespace {

std::string TypeName(const py::handle& value) {
    return py::str(py::type::handle_of(value).attr("__name__"));
}

std::string RangeText(const ParameterLimit& limit) {
    if (limit.Decimals == 0)
        return std::to_string(static_cast<int>(limit.Min)) + " to " +
               std::to_string(static_cast<int>(limit.Max));
    return FormatFixed(limit.Min, limit.Digits, limit.Decimals) + " to " +
           FormatFixed(limit.Max, limit.Digits, limit.Decimals);
}

py::type_error UnknownSetting(const std::string& name) {
    return py::type_error("unexpected keyword argument '" + name +
                          "' (the settings are Session's keywords: pitch, radius, optimise, power, degree, "
                          "min_count, raw_range, border_count, copy_colormap)");
}

bool IsNumpyBool(const py::handle& value) {
    return py::isinstance(value, py::module_::import("numpy").attr("bool_"));
}

}  // namespace

std::string PathArgument(const py::handle& path) {
    const py::bytes encoded = py::module_::import("os").attr("fsencode")(path);
    std::string name = encoded;
    if (name.find('\0') != std::string::npos) throw py::value_error("embedded null byte");
    return name;
}

int WholeArgument(const char* name, const py::handle& value, const ParameterLimit& limit) {
    if (PyBool_Check(value.ptr()) || !PyIndex_Check(value.ptr()))
        throw py::type_error(std::string(name) + " must be a whole number, not " + TypeName(value));
    const py::int_ whole = py::reinterpret_steal<py::int_>(PyNumber_Index(value.ptr()));
    if (!whole) throw py::error_already_set();
    int overflow = 0;
    const long long n = PyLong_AsLongLongAndOverflow(whole.ptr(), &overflow);
    if (overflow != 0 || !limit.Holds(static_cast<double>(n)))
        throw py::value_error(std::string(name) + " must be a whole number from " + RangeText(limit));
    return static_cast<int>(n);
}

double DecimalArgument(const char* name, const py::handle& value, const ParameterLimit& limit) {
    // Anything float() takes but a text or a bool: int, float, numpy numbers.
    const PyNumberMethods* methods = Py_TYPE(value.ptr())->tp_as_number;
    const bool number = !PyBool_Check(value.ptr()) && !IsNumpyBool(value) &&
                        (PyIndex_Check(value.ptr()) || (methods != nullptr && methods->nb_float != nullptr));
    if (!number) throw py::type_error(std::string(name) + " must be a number, not " + TypeName(value));
    const double x = PyFloat_AsDouble(value.ptr());
    if (x == -1.0 && PyErr_Occurred()) throw py::error_already_set();
    if (!std::isfinite(x) || !limit.Holds(x))
        throw py::value_error(std::string(name) + " must be a number from " + RangeText(limit));
    // The input pad writes the value back with the parameter's decimals, and
    // the label's text is what the window reads.
    return LabelNumber(FormatFixed(x, limit.Digits, limit.Decimals));
}

bool FlagArgument(const char* name, const py::handle& value) {
    if (PyBool_Check(value.ptr())) return value.ptr() == Py_True;
    if (IsNumpyBool(value)) return py::cast<bool>(value.attr("__bool__")());
    throw py::type_error(std::string(name) + " must be True or False, not " + TypeName(value));
}

float RadiusArgument(const py::handle& value) {
    return static_cast<float>(DecimalArgument("radius", value, ParameterLimits::SearchRad));
}

DataKind KindOf(const std::string& data) {
    if (data == "raw") return DataKind::Raw;
    if (data == "grid") return DataKind::Grid;
    if (data == "fill") return DataKind::Fill;
    throw py::value_error("data must be 'raw', 'grid' or 'fill'");
}

DrawKind DrawOf(const std::string& draw) {
    if (draw == "colormap") return DrawKind::Colormap;
    if (draw == "contour") return DrawKind::Contour;
    throw py::value_error("draw must be 'colormap' or 'contour'");
}

void ApplySetting(ViewSettings& s, const std::string& name, const py::handle& value) {
    if (name == "pitch") {
        s.CalcPitch = WholeArgument("pitch", value, ParameterLimits::CalcPitch);
    } else if (name == "radius") {
        s.SearchRad = RadiusArgument(value);
        s.RadOptimize = false;
    } else if (name == "optimise") {
        s.RadOptimize = FlagArgument("optimise", value);
    } else if (name == "power") {
        s.AverageWeight = DecimalArgument("power", value, ParameterLimits::AverageWeight);
    } else if (name == "degree") {
        s.SplineOrder = WholeArgument("degree", value, ParameterLimits::SplineOrder);
    } else if (name == "min_count") {
        s.MinDataCount = WholeArgument("min_count", value, ParameterLimits::MinDataCount);
    } else if (name == "raw_range") {
        s.RawRange = FlagArgument("raw_range", value);
    } else if (name == "border_count") {
        s.BorderCount = WholeArgument("border_count", value, ParameterLimits::BorderCount);
    } else if (name == "copy_colormap") {
        s.CopyColormap = FlagArgument("copy_colormap", value);
    } else {
        throw UnknownSetting(name);
    }
}

ViewSettings SettingsOf(const py::dict& settings) {
    for (const auto& item : settings) {
        const std::string name = py::str(item.first);
        if (std::find(SettingNames.begin(), SettingNames.end(), std::string_view(name)) == SettingNames.end())
            throw UnknownSetting(name);
    }
    const auto given = [&settings](const char* name) {
        return settings.contains(name) && !settings[name].is_none();
    };
    if (given("radius") && given("optimise") && FlagArgument("optimise", settings["optimise"]))
        throw py::value_error("radius and optimise exclude each other");
    ViewSettings s;
    for (const char* name : SettingNames)
        if (given(name)) ApplySetting(s, name, settings[name]);
    return s;
}

namespace {

std::string ColumnArgument(const char* name, const py::handle& value) {
    if (value.is_none()) return {};
    if (PyUnicode_Check(value.ptr())) {
        const std::string text = py::str(value);
        if (text.find('\0') != std::string::npos) throw py::value_error("embedded null character");
        return text;
    }
    if (!PyBool_Check(value.ptr()) && PyIndex_Check(value.ptr())) {
        const long long n = py::cast<long long>(py::reinterpret_borrow<py::object>(value));
        if (n < 1)
            throw py::value_error(std::string(name) + " must be a header name or a column number from 1");
        return std::to_string(n);
    }
    throw py::type_error(std::string(name) +
                         " must be a header name (str) or a 1-based column number (int), not " +
                         TypeName(value));
}

}  // namespace

CsvImportOptions CsvOptions(const py::handle& x, const py::handle& y, const py::handle& z,
                            const std::string& units, const py::handle& wafer) {
    CsvImportOptions options;
    options.XColumn = ColumnArgument("x_col", x);
    options.YColumn = ColumnArgument("y_col", y);
    options.ZColumn = ColumnArgument("z_col", z);
    if (units != "mm" && units != "cell") throw py::value_error("units must be 'mm' or 'cell'");
    options.Units = units == "mm" ? CsvUnits::Millimetres : CsvUnits::Cells;
    // The wafer: a diameter, or a Wafer whose diameter it is.
    const py::object diameter = py::hasattr(wafer, "diameter") ? py::object(wafer.attr("diameter"))
                                                               : py::reinterpret_borrow<py::object>(wafer);
    if (PyBool_Check(diameter.ptr()) || !PyNumber_Check(diameter.ptr()) || PyUnicode_Check(diameter.ptr()))
        throw py::type_error("wafer must be a diameter in mm or a Wafer, not " + TypeName(wafer));
    const double d = PyFloat_AsDouble(diameter.ptr());
    if (d == -1.0 && PyErr_Occurred()) throw py::error_already_set();
    if (!(d >= 0.0 && d <= MaxWaferDiameterMm))
        throw py::value_error("--wafer must be a number from 0 to 10000");
    options.Diameter = d;
    return options;
}

WaferGeometry MakeWafer(double diameter, double edgeExclusion, std::optional<double> centreX,
                        std::optional<double> centreY) {
    WaferGeometry w;
    w.DiameterMm = diameter;
    w.EdgeExclusionMm = edgeExclusion;
    w.CentreX = centreX;
    w.CentreY = centreY;
    const std::string fault = WaferFaultText(CheckWaferGeometry(w));
    if (!fault.empty()) throw py::value_error(fault);
    return w;
}

AnalysisRequest RequestOf(const std::optional<WaferGeometry>& wafer) {
    AnalysisRequest request;
    if (wafer) request.Wafer = *wafer;
    return request;
}
