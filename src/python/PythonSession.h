#pragma once

// The viewer's Session for Python: the window's flow without controls, its
// messages raised or issued as warnings, each call run without the
// interpreter lock.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "Arguments.h"
#include "Errors.h"
#include "Record.h"
#include "analysis/SurfaceSites.h"
#include "core/Codes.h"
#include "data/ViewSettings.h"
#include "session/MapPlan.h"
#include "session/Session.h"
#include "session/Source.h"

namespace py = pybind11;

// No controls; the messages collected for the caller, and the last
// drawing's plan.
class PythonFrontEnd final : public SessionFrontEnd {
public:
    void ShowMap(const ThkData&, const MapPlan& plan) override { LastPlan = plan; }
    void ShowMessageText(const std::string& text) override { Texts.push_back(text); }

    MapPlan LastPlan;
    std::vector<std::string> Texts;
};

// One data set's flow for one thread at a time: a call made while another
// thread's call on the same session runs is refused with morvaplot.Error,
// never interleaved, so no thread ever gets another's file. A failed open
// leaves the session without data (the window keeps the last good file for
// its own display only). After Close every call raises Error.
class PySession {
public:
    explicit PySession(const ViewSettings& settings);

    void Open(const SourceInput& source);
    void OpenXyz(const std::string& text);
    void Calc();
    void Fill();
    // A snapshot of the record (None when it holds no data).
    py::object RecordOf(DataKind kind);
    // The picture the window shows after the user picks the data and draw
    // type (each only when given).
    py::array_t<std::uint8_t> Colormap(const std::optional<std::string>& data,
                                       const std::optional<std::string>& draw);
    // [(k, level, [lines])] of the contour map over the filled surface.
    py::list Contours();
    void Close();
    std::string Describe();

    // Calls f with the named record (the shown one when None), which must
    // hold data, while no other thread can use the session.
    template <typename F>
    auto WithRecord(const std::optional<std::string>& data, F&& f) {
        const std::optional<DataKind> kind = data ? std::optional(KindOf(*data)) : std::nullopt;
        const std::unique_lock lock = Take();
        return f(session_->Record(Available(kind)));
    }

    // Calls f(session, kind, units, name) without the interpreter lock while
    // no other thread can use the session: kind the record named (the shown
    // one when None), which must hold data; units how the loaded points give
    // their positions; name the data's. f may throw MessageError.
    template <typename F>
    auto Compute(const std::optional<std::string>& data, F&& f) {
        const std::optional<DataKind> kind = data ? std::optional(KindOf(*data)) : std::nullopt;
        return Run(
            [&] { return f(std::as_const(*session_), Available(kind), units_, std::as_const(name_)); });
    }

    // Changes the settings.
    template <typename F>
    void Set(F&& change) {
        const std::unique_lock lock = Take();
        change(session_->Settings());
    }

    // Reads the settings.
    template <typename F>
    auto Get(F&& read) {
        const std::unique_lock lock = Take();
        return read(std::as_const(session_->Settings()));
    }

private:
    // The session to this call alone; Error when another thread's call holds
    // it or it is closed. Never waits, so it may be taken with the
    // interpreter lock held.
    std::unique_lock<std::mutex> Take();

    // Runs operation on the session without the interpreter lock; the
    // messages it showed are reported once the lock is back. An operation
    // that answers 1 or -1 (checked) raises its message on -1.
    template <typename F>
    auto Run(F&& operation, bool checked = false) {
        using Result = decltype(operation());
        const std::unique_lock lock = Take();
        std::vector<std::string> texts;
        std::optional<std::conditional_t<std::is_void_v<Result>, int, Result>> result;
        {
            py::gil_scoped_release unlocked;
            frontEnd_.Texts.clear();
            if constexpr (std::is_void_v<Result>) {
                operation();
                result.emplace(1);
            } else {
                result.emplace(operation());
            }
            texts.swap(frontEnd_.Texts);
        }
        if constexpr (std::is_same_v<Result, int>) {
            ReportMessages(std::move(texts), checked && *result != 1);
        } else {
            ReportMessages(std::move(texts), false);
        }
        if constexpr (!std::is_void_v<Result>) return std::move(*result);
    }

    // The record kind named, or the shown one; it must hold data.
    DataKind Available(std::optional<DataKind> kind) const;

    PythonFrontEnd frontEnd_;
    std::unique_ptr<Session> session_;
    std::string name_;                            // of the data loaded, for the repr
    PointUnits units_ = PointUnits::Millimetres;  // of the data loaded
    std::mutex mutex_;
};
