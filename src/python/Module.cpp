// The _morvaplot extension: records, sessions, pictures, the analysis
// figures, the comparison of two files and a batch's file job for Python.
// Each call turns its arguments into a step's inputs (or a session's
// settings) and the step's answer into Python objects; the order of the work
// is the steps' own. Every call into the engine runs with the interpreter
// lock released, so threads of one process may each work a session of their
// own at the same time; a session's messages reach that session alone.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Errors.h"
#include "Figures.h"
#include "FileWorker.h"
#include "Pictures.h"
#include "PythonSession.h"
#include "Record.h"
#include "Surfaces.h"
#include "analysis/Analysis.h"
#include "analysis/SummaryRow.h"
#include "calc/SurfaceFitter.h"
#include "colour/MapPicture.h"
#include "core/VectorPath.h"
#include "core/WholeFile.h"
#include "data/CsvImport.h"
#include "data/ThkData.h"
#include "data/ThkReader.h"
#include "data/XyzText.h"
#include "session/Compare.h"
#include "session/Source.h"

namespace py = pybind11;

namespace {

// A step that writes a fresh record (a reader, a comparison), run on this
// thread without the interpreter lock, its messages collected.
py::object FreshRecord(RecordKind kind, const std::string& name,
                       const std::function<int(ThkData&, const MessageSink&)>& step) {
    std::vector<std::string> texts;
    int result = -1;
    std::optional<Record> record;
    {
        py::gil_scoped_release unlocked;
        auto fresh = std::make_unique<ThkData>();
        const MessageSink collect([&texts](const std::string& text) { texts.push_back(text); });
        ClearThkData(fresh.get(), 1);
        result = step(*fresh, collect);
        if (result == 1) record = Snapshot(*fresh, kind, name);
    }
    ReportMessages(std::move(texts), result != 1);
    return py::cast(std::move(*record));
}

DifferenceOrder OrderOf(const std::string& order) {
    if (order == "a-b") return DifferenceOrder::FirstMinusSecond;
    if (order == "b-a") return DifferenceOrder::SecondMinusFirst;
    throw py::value_error("order must be 'a-b' or 'b-a'");
}

// The difference of two files, each read as its name says (see SourceOfFile).
py::object CompareFiles(const py::object& a, const py::object& b, const std::string& data,
                        const std::string& order, double rateTime, const CsvImportOptions& csv,
                        const py::dict& settings, std::vector<PairedSite>& sites) {
    CompareRequest request;
    request.Data = KindOf(data);
    request.Order = OrderOf(order);
    if (!(rateTime == 0.0 || (rateTime > 0.0 && std::isfinite(rateTime))))
        throw py::value_error("rate_time must be a number above 0, or 0 for no rate");
    request.RateTime = rateTime;
    request.Wafer.DiameterMm = csv.Diameter;
    const ViewSettings s = SettingsOf(settings);
    const SourceInput first = SourceOfFile(PathArgument(a), csv);
    const SourceInput second = SourceOfFile(PathArgument(b), csv);
    const std::string name = request.Order == DifferenceOrder::FirstMinusSecond
                                 ? first.Path + " - " + second.Path
                                 : second.Path + " - " + first.Path;
    return FreshRecord(RecordKind::Difference, name, [&](ThkData& difference, const MessageSink& messages) {
        auto fitter = std::make_unique<SurfaceFitter>();
        return CompareSources(first, second, s, request, *fitter, difference, sites, messages);
    });
}

// A file job's request from batch keywords, checked before any file is read.
FileJobRequest JobRequest(const std::string& data, const std::optional<WaferGeometry>& wafer,
                          const py::dict& settings) {
    FileJobRequest request;
    request.Settings = SettingsOf(settings);
    request.Data = KindOf(data);
    request.Analysis = RequestOf(wafer);
    const std::string fault = CheckAnalysisRequest(request.Analysis);
    if (!fault.empty()) throw py::value_error(fault);
    return request;
}

py::tuple RunJob(FileWorker& worker, const py::object& path, const std::string& data,
                 const std::optional<WaferGeometry>& wafer, bool png, const py::object& x_col,
                 const py::object& y_col, const py::object& z_col, const std::string& units, bool sites,
                 const py::dict& settings) {
    const FileJobRequest request = JobRequest(data, wafer, settings);
    const py::object diameter =
        wafer ? py::object(py::float_(wafer->DiameterMm)) : py::object(py::float_(0.0));
    const std::string file = PathArgument(path);
    return worker.Run(SourceOfFile(file, CsvOptions(x_col, y_col, z_col, units, diameter)), file, request,
                      png, sites);
}

// Things the module's calls set up once for the life of the process,
// ready before any thread can call: a thread that first needs one of them
// must never wait for another thread that is setting it up while holding the
// interpreter lock that thread needs.
void SetUpOnce() {
    // pybind11 looks up numpy's C interface on the first array it makes, in a
    // function-local static whose set-up imports numpy: the import lets
    // other threads run, and one of them making its own first array would
    // wait for that set-up while holding the lock the importing thread needs.
    py::module_::import("numpy");
    py::detail::npy_api::get();
    // The engine's one lazily chosen constant (which vector code to run).
    ActiveVectorPath();
}

const char* const RecordDoc =
    "A thickness record: a snapshot of one of a session's records (or of a file read), which later "
    "operations do not change; safe to read from several threads, picklable and copyable (a copy is the "
    "record itself).\n\n"
    "Cells sit at integer coordinates 0..500 on each axis, addressed by the coordinate whatever the pitch: "
    "values[x, y] is the value at X = x, Y = y, with y counting cells downward as the map draws them, NaN "
    "where a cell holds no data. The figures (min, max, mean, sigma, the percentages) are the record's own "
    "statistics: for raw data those of the file as read, for grid, fill and difference records those of "
    "their cells; NaN when no cell holds data.";

}  // namespace

PYBIND11_MODULE(_morvaplot, m) {
    m.doc() = "Thickness maps: read, grid (Calc), complete (Fill), draw and analyse.";
    SetUpOnce();

    m.attr("__version__") = MORVAPLOT_VERSION;
    RegisterErrors(m);
    m.attr("RoiResult") = py::module_::import("collections")
                              .attr("namedtuple")("RoiResult", py::make_tuple("count", "min", "max", "mean"));
    m.attr("RoiResult").attr("__doc__") =
        "count, min, max and mean of the data cells inside a region (NaN figures when none lies inside)";
    m.attr("NoData") = NoData;
    m.attr("GRID_DIM") = ThkGridDim;
    m.attr("PICTURE_SIZE") = MapPictureSize;
    py::list columns;
    for (std::string_view column : SummaryColumns)
        columns.append(py::str(column.data(), column.size()));
    m.attr("SUMMARY_COLUMNS") = py::tuple(columns);

    py::class_<WaferGeometry>(
        m, "Wafer",
        "Where the wafer lies on a record: the square of Size file units spans its "
        "diameter (mm); figures leave out a band of edge_exclusion mm inside the rim. The "
        "centre is in file units (the middle of the square when None).")
        .def(py::init(&MakeWafer), py::arg("diameter"), py::arg("edge_exclusion") = 0.0,
             py::arg("centre_x") = py::none(), py::arg("centre_y") = py::none())
        .def_readonly("diameter", &WaferGeometry::DiameterMm)
        .def_readonly("edge_exclusion", &WaferGeometry::EdgeExclusionMm)
        .def_readonly("centre_x", &WaferGeometry::CentreX)
        .def_readonly("centre_y", &WaferGeometry::CentreY)
        .def(
            "positions_mm", &WaferPositions, py::arg("size"),
            "(x_mm, y_mm): the wafer's mm position of every cell coordinate 0..500 on each axis for a record "
            "of this Size, as the figures and profiles measure them (NaN without a diameter)")
        .def(py::pickle(
            [](const WaferGeometry& w) {
                return py::make_tuple(w.DiameterMm, w.EdgeExclusionMm, w.CentreX, w.CentreY);
            },
            [](const py::tuple& t) {
                return MakeWafer(t[0].cast<double>(), t[1].cast<double>(), t[2].cast<std::optional<double>>(),
                                 t[3].cast<std::optional<double>>());
            }))
        .def("__repr__", [](const WaferGeometry& w) {
            return py::str("Wafer(diameter={!r}, edge_exclusion={!r}, centre_x={!r}, centre_y={!r})")
                .format(w.DiameterMm, w.EdgeExclusionMm, w.CentreX, w.CentreY);
        });

    py::class_<Record>(m, "Record", RecordDoc)
        .def_property_readonly(
            "kind", [](const Record& r) { return RecordKindName(r.Kind); },
            "'raw', 'grid', 'fill' or 'difference'")
        .def_property_readonly(
            "name", [](const Record& r) { return DecodedText(r.Name); },
            "The file the data came from, as it was given ('' when none)")
        .def_property_readonly(
            "size", [](const Record& r) { return r.Data->Size; },
            "The Size: the area spans 0..size file units")
        .def_property_readonly(
            "pitch", [](const Record& r) { return py::make_tuple(r.Data->PitchX, r.Data->PitchY); },
            "(x, y) steps of the record's lattice: the file's pitch for raw data, the calculation pitch for "
            "a "
            "grid, (1, 1) for a fill")
        .def_property_readonly(
            "extent", [](const Record& r) { return py::make_tuple(r.ExtentX, r.ExtentY); },
            "(x, y) of the last node of the record's lattice: its cells lie within 0..extent")
        .def_property_readonly(
            "count", [](const Record& r) { return r.Data->Count; },
            "For raw data: the data points read (a position given twice counts twice); else the cells "
            "holding "
            "data")
        .def_property_readonly(
            "cells", [](const Record& r) { return r.Cells; }, "The cells holding data")
        .def_property_readonly(
            "min", [](const Record& r) { return Figure(r, r.Data->Min); },
            "The smallest value (for raw data over the values as read)")
        .def_property_readonly(
            "max", [](const Record& r) { return Figure(r, r.Data->Max); },
            "The largest value (for raw data over the values as read)")
        .def_property_readonly(
            "range", [](const Record& r) { return Figure(r, r.Data->Range); }, "max - min")
        .def_property_readonly(
            "mean", [](const Record& r) { return Figure(r, r.Data->Mean); }, "The mean of the cells")
        .def_property_readonly(
            "sigma", [](const Record& r) { return Figure(r, r.Data->Sigma); },
            "The standard deviation of the record's own statistics, as the window shows it")
        .def_property_readonly(
            "ratio", [](const Record& r) { return Figure(r, r.Data->Ratio); }, "The record's min/max ratio")
        .def_property_readonly(
            "uniformity_pct", [](const Record& r) { return Figure(r, r.Data->UniformityPct); },
            "range / (2 mean) in percent")
        .def_property_readonly(
            "sigma1_pct", [](const Record& r) { return Figure(r, r.Data->Sigma1Pct); },
            "sigma / mean in percent")
        .def_property_readonly(
            "sigma3_pct", [](const Record& r) { return Figure(r, r.Data->Sigma3Pct); },
            "3 sigma / mean in percent")
        .def_property_readonly(
            "values", &ValuesView,
            "Read-only (501, 501) float64 view of the cells: values[x, y], y counting cells "
            "downward; NaN where empty")
        .def_property_readonly("mask", &MaskOf, "(501, 501) bool array: True where a cell holds data")
        .def(
            "statistics",
            [](const Record& r, const std::optional<WaferGeometry>& wafer) {
                return StatisticsOf(*r.Data, RequestOf(wafer));
            },
            py::arg("wafer") = py::none(),
            "The figures an engineer reports for the data cells (inside the wafer's kept disc when a wafer "
            "is given): a Statistics dict with count, mean, min and max with the first cell of each (x-major "
            "order), range, sigma_n1 (the sample sigma, n - 1), sigma1_pct_n1, sigma3_pct_n1, "
            "uniformity_mean_pct ((max - min) / (2 mean) %) and uniformity_maxmin_pct ((max - min) / (max + "
            "min) %); to_frame() makes it a one-row "
            "pandas DataFrame. Without a data cell inside, count is 0 and every other figure NaN.")
        .def(
            "profile",
            [](const Record& r, const std::string& axis, const std::optional<WaferGeometry>& wafer) {
                return ProfileOf(*r.Data, ProfileRequest(axis, wafer));
            },
            py::arg("axis") = "x", py::arg("wafer") = py::none(),
            "The diameter profile through the centre along axis 'x' or 'y': a Columns dict of equal-length "
            "arrays position, value, x, y (cells without data left out); position in file units, or in mm "
            "from the centre with a wafer; to_frame() makes it a DataFrame.")
        .def(
            "line_profile",
            [](const Record& r, double x0, double y0, double x1, double y1,
               const std::optional<WaferGeometry>& w) {
                return ProfileOf(*r.Data, LineRequest(x0, y0, x1, y1, w));
            },
            py::arg("x0"), py::arg("y0"), py::arg("x1"), py::arg("y1"), py::arg("wafer") = py::none(),
            "The profile from (x0, y0) to (x1, y1) in file units, sampled at whole unit steps from the "
            "nearest "
            "cell: columns position (the distance from the start), value, x, y.")
        .def(
            "radial_profile",
            [](const Record& r, const std::optional<WaferGeometry>& wafer) {
                return RadialProfileOf(*r.Data, RadialRequest(wafer));
            },
            py::arg("wafer") = py::none(),
            "Rings of one unit (mm with a wafer) about the centre: columns inner (the ring's inner radius), "
            "count, mean, min, max (NaN for a ring without data).")
        .def(
            "histogram",
            [](const Record& r, long long bins, const std::optional<WaferGeometry>& wafer) {
                return HistogramOf(*r.Data, HistogramRequest(bins, wafer));
            },
            py::arg("bins") = 20, py::arg("wafer") = py::none(),
            "The values in bins (1 to 10000) of equal width from min to max: a Histogram dict with edges "
            "(bins + 1), counts (bins), min, max and total; to_frame() gives columns lower, upper, count.")
        .def(
            "roi",
            [](const Record& r, int x, int y, int size, const std::string& shape) {
                return RoiOf(*r.Data, x, y, size, shape);
            },
            py::arg("x"), py::arg("y"), py::arg("size") = 10, py::arg("shape") = "circle",
            "RoiResult(count, min, max, mean) of the data cells in the circle of radius size (or the square "
            "of "
            "side 2 size + 1) centred on cell (x, y); NaN figures when none lies inside.")
        .def("__copy__", [](const py::object& self) { return self; })
        .def(
            "__deepcopy__", [](const py::object& self, const py::object&) { return self; }, py::arg("memo"))
        .def(py::pickle(&RecordState, &RecordFromState))
        .def("__repr__", [](const Record& r) {
            return py::str("<morvaplot.Record {}{} size={} pitch=({}, {}) cells={} min={!r} max={!r}>")
                .format(RecordKindName(r.Kind),
                        r.Name.empty() ? py::str("") : py::str(" of {!r}").format(DecodedText(r.Name)),
                        r.Data->Size, r.Data->PitchX, r.Data->PitchY, r.Cells, Figure(r, r.Data->Min),
                        Figure(r, r.Data->Max));
        });

    m.def(
        "read_thk",
        [](const py::object& path) {
            const std::string file = PathArgument(path);
            return FreshRecord(RecordKind::Raw, file,
                               [&](ThkData& r, const MessageSink& m) { return ReadThkFile(file, r, m); });
        },
        py::arg("path"),
        "Reads a .thk file (path: str, bytes or os.PathLike) into a raw Record; raises Error with the "
        "reader's "
        "message when it fails. A line without a thickness leaves its cell empty, with a MessageWarning.");
    m.def(
        "read_xyz",
        [](const std::string& text) {
            return FreshRecord(RecordKind::Raw, "",
                               [&](ThkData& r, const MessageSink& m) { return PasteXyzText(text, r, m); });
        },
        py::arg("text"),
        "Converts X/Y/Z text as Paste takes it from the clipboard (a Size line ending with a TAB, then "
        "X<TAB>Y<TAB>Z lines) into a raw Record.");
    m.def(
        "read_csv",
        [](const py::object& path, const py::object& x_col, const py::object& y_col, const py::object& z_col,
           const std::string& units, const py::object& wafer) {
            const std::string file = PathArgument(path);
            const CsvImportOptions options = CsvOptions(x_col, y_col, z_col, units, wafer);
            return FreshRecord(RecordKind::Raw, file, [&](ThkData& r, const MessageSink& m) {
                return ImportCsvFile(file, options, r, m);
            });
        },
        py::arg("path"), py::kw_only(), py::arg("x_col") = py::none(), py::arg("y_col") = py::none(),
        py::arg("z_col") = py::none(), py::arg("units") = "mm", py::arg("wafer") = 0.0,
        "Imports a CSV table as the window's Import does into a raw Record: columns by header name (str) or "
        "1-based number (int), found by name when left out; X/Y in 'mm' from the wafer centre (wafer: the "
        "diameter in mm or a Wafer, which becomes the Size; 0 fits the points) or in 'cell' units.");
    // The program's one file writer for the batch package; the name is the
    // system's bytes (os.fsencode). A failure raises OSError with errno.
    m.def(
        "_write_file_whole",
        [](const py::bytes& path, const py::bytes& content) {
            const std::string name = path;
            const std::string_view bytes = content;
            FileWriteResult written;
            {
                py::gil_scoped_release unlocked;
                written = WriteFileWhole(name, bytes);
            }
            if (written.Written()) return;
            PyErr_SetObject(PyExc_OSError, py::make_tuple(written.Error, written.Reason, path).ptr());
            throw py::error_already_set();
        },
        py::arg("path"), py::arg("content"));
    m.def("png", &PngBytes, py::arg("picture"),
          "PNG bytes of an (H, W, 3) uint8 picture, encoded as morvaplot-cli encodes its maps.");
    m.def(
        "compare",
        [](const py::object& a, const py::object& b, const std::string& data, const std::string& order,
           double rateTime, const py::object& x_col, const py::object& y_col, const py::object& z_col,
           const std::string& units, const py::object& wafer, bool sites, const py::kwargs& settings) {
            std::vector<PairedSite> paired;
            py::object difference = CompareFiles(
                a, b, data, order, rateTime, CsvOptions(x_col, y_col, z_col, units, wafer), settings, paired);
            if (!sites) return difference;
            return py::object(py::make_tuple(difference, PairedSiteColumns(paired)));
        },
        py::arg("a"), py::arg("b"), py::arg("data") = "fill", py::arg("order") = "a-b",
        py::arg("rate_time") = 0.0, py::kw_only(), py::arg("x_col") = py::none(),
        py::arg("y_col") = py::none(), py::arg("z_col") = py::none(), py::arg("units") = "mm",
        py::arg("wafer") = 0.0, py::arg("sites") = false,
        "The difference of two files as a 'difference' Record, as morvaplot-cli diff takes it: both read "
        "with "
        "the same settings (Session's keywords), the second on the first's lattice and search radius, the "
        "data record ('raw', 'grid' or 'fill') of each subtracted cell by cell where both hold data, 'a-b' "
        "or "
        "'b-a', divided by rate_time when it is above 0. Files ending in .csv or .txt are tables read with "
        "the "
        "read_csv keywords; others .thk files. With sites=True, (Record, columns): the sites paired within "
        "0.5 mm (half a cell without a wafer): site, x, y, first, second, difference, and interpolated for a "
        "site whose partner value was read off the other file's surface.");

    py::class_<FileWorker>(m, "FileWorker",
                           "One file of a batch at a time, keeping its records and stores from file to file: "
                           "keep one per worker process or thread and hand it file after file.")
        .def(py::init<>())
        .def(
            "run",
            [](FileWorker& worker, const py::object& path, const std::string& data,
               const std::optional<WaferGeometry>& wafer, bool png, const py::object& x_col,
               const py::object& y_col, const py::object& z_col, const std::string& units, bool sites,
               const py::kwargs& settings) {
                return RunJob(worker, path, data, wafer, png, x_col, y_col, z_col, units, sites, settings);
            },
            py::arg("path"), py::arg("data") = "fill", py::arg("wafer") = py::none(), py::kw_only(),
            py::arg("png") = false, py::arg("x_col") = py::none(), py::arg("y_col") = py::none(),
            py::arg("z_col") = py::none(), py::arg("units") = "mm", py::arg("sites") = false,
            "One file with Session's keyword settings: load, Calc and Fill as far as data needs, the figures "
            "of that record inside the wafer. Returns (row, png): the summary row as a dict keyed by "
            "SUMMARY_COLUMNS (a failure is its error, never raised; the messages that did not stop the file "
            "are its warnings) and, with png=True and the file analysed, the map as "
            "Session.colormap(data=data) "
            "paints it, as PNG bytes, else None. A table's millimetres are placed on the wafer's diameter. "
            "With sites=True, (row, png, sites): the measured sites of the file (a table's rows, a .thk "
            "file's data cells) in file order as columns site, x_mm and y_mm (mm from the wafer's centre, +Y "
            "up; without a wafer a table's own mm, NaN for a file in cells), x_cell and y_cell (cells, y "
            "downward), value, and unit (the thickness unit, \"\" when the file names none); None when the "
            "file failed.");
    m.def(
        "check_job",
        [](const std::string& data, const std::optional<WaferGeometry>& wafer, const py::object& x_col,
           const py::object& y_col, const py::object& z_col, const std::string& units,
           const py::kwargs& settings) {
            JobRequest(data, wafer, settings);
            CsvOptions(x_col, y_col, z_col, units, py::float_(wafer ? wafer->DiameterMm : 0.0));
        },
        py::arg("data") = "fill", py::arg("wafer") = py::none(), py::kw_only(), py::arg("x_col") = py::none(),
        py::arg("y_col") = py::none(), py::arg("z_col") = py::none(), py::arg("units") = "mm",
        "Raises the error FileWorker.run would raise for these arguments (before any file is read): "
        "TypeError or ValueError.");

    py::class_<PySession> session(
        m, "Session",
        "The viewer's flow over one data set: open, Calc, Fill, pictures and figures, with the window's "
        "defaults for every setting left out.\n\n"
        "A Session serves one thread at a time: a call made while another thread's call on the same Session "
        "runs raises Error (give each thread its own Session; several run side by side). A failed open "
        "raises Error and leaves the Session without data, so calc(), fill() and the figures raise until a "
        "file opens (the window keeps showing the last good file; a program has no such display). "
        "'with Session() as s:' closes it at the end: its records are freed and further calls raise Error.");
    session
        .def(py::init([](const py::object& pitch, const py::object& radius, const py::object& optimise,
                         const py::object& power, const py::object& degree, const py::object& minCount,
                         const py::object& rawRange, const py::object& borderCount,
                         const py::object& copyColormap) {
                 const py::object given[] = {pitch,  radius,   minCount,    optimise,    power,
                                             degree, rawRange, borderCount, copyColormap};
                 const char* names[] = {"pitch",  "radius",    "min_count",    "optimise",     "power",
                                        "degree", "raw_range", "border_count", "copy_colormap"};
                 py::dict settings;
                 for (std::size_t i = 0; i < std::size(names); ++i)
                     if (!given[i].is_none()) settings[names[i]] = given[i];
                 return std::make_unique<PySession>(SettingsOf(settings));
             }),
             py::kw_only(), py::arg("pitch") = py::none(), py::arg("radius") = py::none(),
             py::arg("optimise") = py::none(), py::arg("power") = py::none(), py::arg("degree") = py::none(),
             py::arg("min_count") = py::none(), py::arg("raw_range") = py::none(),
             py::arg("border_count") = py::none(), py::arg("copy_colormap") = py::none())
        .def(
            "open", [](PySession& s, const py::object& path) { s.Open(SourceOfFile(PathArgument(path))); },
            py::arg("path"),
            "Loads a file (str, bytes or os.PathLike; .csv and .txt as tables with the import's defaults, "
            "others as .thk), then searches the radius when optimise is on. Raises Error when the file "
            "cannot "
            "be read, and the Session is then left without data.")
        .def(
            "open_xyz", [](PySession& s, const std::string& text) { s.OpenXyz(text); }, py::arg("text"),
            "Loads X/Y/Z text as Paste does (see read_xyz).")
        .def(
            "open_csv",
            [](PySession& s, const py::object& path, const py::object& x_col, const py::object& y_col,
               const py::object& z_col, const std::string& units, const py::object& wafer) {
                SourceInput source =
                    SourceOfFile(PathArgument(path), CsvOptions(x_col, y_col, z_col, units, wafer));
                source.Format = SourceFormat::Csv;
                s.Open(source);
            },
            py::arg("path"), py::kw_only(), py::arg("x_col") = py::none(), py::arg("y_col") = py::none(),
            py::arg("z_col") = py::none(), py::arg("units") = "mm", py::arg("wafer") = 0.0,
            "Loads a CSV table (see read_csv) through the same path as open().")
        .def("calc", &PySession::Calc,
             "Calc: the grid by inverse-distance weighting; the grid is then shown.")
        .def("fill", &PySession::Fill, "Fill: the B-spline surface through the grid; the fill is then shown.")
        .def_property_readonly(
            "raw", [](PySession& s) { return s.RecordOf(DataKind::Raw); },
            "A Record of the data as loaded, or None before a load")
        .def_property_readonly(
            "grid", [](PySession& s) { return s.RecordOf(DataKind::Grid); },
            "A Record of the grid after calc(), or None")
        .def_property_readonly(
            "fill_record", [](PySession& s) { return s.RecordOf(DataKind::Fill); },
            "A Record of the filled surface after fill(), or None")
        .def("colormap", &PySession::Colormap, py::arg("data") = py::none(), py::arg("draw") = py::none(),
             "The 301 x 301 map as an (H, W, 3) uint8 array as the window paints it (rows top to bottom), of "
             "the record data ('raw', 'grid' or 'fill'; the shown one when None) drawn as 'colormap' or "
             "'contour' (the draw type kept when None); the record is then the shown one.")
        .def("contours", &PySession::Contours,
             "The contour map's levels over the filled surface: [(k, level, [lines])], every line an (n, 2) "
             "array of grid coordinates (x, y) in drawing order")
        .def(
            "roi",
            [](PySession& s, int x, int y, int size, const std::string& shape,
               const std::optional<std::string>& data) {
                return s.WithRecord(data, [&](const ThkData& r) { return RoiOf(r, x, y, size, shape); });
            },
            py::arg("x"), py::arg("y"), py::arg("size") = 10, py::arg("shape") = "circle",
            py::arg("data") = py::none(), "Record.roi of the record data (the shown one when None).")
        .def(
            "statistics",
            [](PySession& s, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = RequestOf(wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return StatisticsOf(r, request); });
            },
            py::arg("data") = py::none(), py::arg("wafer") = py::none(),
            "Record.statistics of the record data (the shown one when None).")
        .def(
            "profile",
            [](PySession& s, const std::string& axis, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = ProfileRequest(axis, wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return ProfileOf(r, request); });
            },
            py::arg("axis") = "x", py::arg("data") = py::none(), py::arg("wafer") = py::none(),
            "Record.profile of the record data (the shown one when None).")
        .def(
            "line_profile",
            [](PySession& s, double x0, double y0, double x1, double y1,
               const std::optional<std::string>& data, const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = LineRequest(x0, y0, x1, y1, wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return ProfileOf(r, request); });
            },
            py::arg("x0"), py::arg("y0"), py::arg("x1"), py::arg("y1"), py::arg("data") = py::none(),
            py::arg("wafer") = py::none(),
            "Record.line_profile of the record data (the shown one when None).")
        .def(
            "radial_profile",
            [](PySession& s, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = RadialRequest(wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return RadialProfileOf(r, request); });
            },
            py::arg("data") = py::none(), py::arg("wafer") = py::none(),
            "Record.radial_profile of the record data (the shown one when None).")
        .def(
            "histogram",
            [](PySession& s, long long bins, const std::optional<std::string>& data,
               const std::optional<WaferGeometry>& wafer) {
                const AnalysisRequest request = HistogramRequest(bins, wafer);
                return s.WithRecord(data, [&](const ThkData& r) { return HistogramOf(r, request); });
            },
            py::arg("bins") = 20, py::arg("data") = py::none(), py::arg("wafer") = py::none(),
            "Record.histogram of the record data (the shown one when None).")
        .def("close", &PySession::Close, "Frees the records; every later call raises Error.")
        .def("__enter__", [](const py::object& self) { return self; })
        .def(
            "__exit__",
            [](PySession& s, const py::object&, const py::object&, const py::object&) {
                s.Close();
                return false;
            },
            py::arg("type"), py::arg("value"), py::arg("traceback"))
        .def("__repr__", [](PySession& s) { return DecodedText(s.Describe()); });
    RegisterSurfaces(session);

    const auto setting = [&session](const char* name, auto read, const char* doc) {
        session.def_property(
            name, [read](PySession& s) { return s.Get(read); },
            [name](PySession& s, const py::object& value) {
                s.Set([&](ViewSettings& v) { ApplySetting(v, name, value); });
            },
            doc);
    };
    setting(
        "pitch", [](const ViewSettings& v) { return v.CalcPitch; }, "The calculation pitch, 2 to 100 (int)");
    setting(
        "radius", [](const ViewSettings& v) { return static_cast<double>(v.SearchRad); },
        "The search radius, 2.0 to 200.0 with one decimal (after open(), the one found when optimise is on); "
        "setting it turns optimise off");
    setting(
        "optimise", [](const ViewSettings& v) { return v.RadOptimize; },
        "Whether open() looks for the smallest search radius that gives every lattice node min_count data "
        "cells (bool)");
    setting(
        "power", [](const ViewSettings& v) { return v.AverageWeight; },
        "The inverse-distance weight power, 0.01 to 99.99 with two decimals");
    setting(
        "degree", [](const ViewSettings& v) { return v.SplineOrder; },
        "The spline degree of Fill, 1 to 10 (int)");
    setting(
        "min_count", [](const ViewSettings& v) { return v.MinDataCount; },
        "Data cells every node needs in the radius search, 1 to 10 (int)");
    setting(
        "raw_range", [](const ViewSettings& v) { return v.RawRange; },
        "Grid and fill maps scaled on the raw data's minimum and maximum (bool)");
    setting(
        "border_count", [](const ViewSettings& v) { return v.BorderCount; },
        "Contour levels of the contour map, 2 to 50 (int)");
    setting(
        "copy_colormap", [](const ViewSettings& v) { return v.CopyColormap; },
        "Contour lines over the colour map (bool)");
}
