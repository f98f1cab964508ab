#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "colour/MapPicture.h"
#include "session/Session.h"

namespace {

// A front end that paints every map the session asks for and keeps the
// messages of its own session.
class Painter final : public SessionFrontEnd {
public:
    void ShowMap(const ThkData& record, const MapPlan& plan) override {
        PaintMap(Picture, record, plan.Draw, plan.Ramp, Style);
    }
    void ShowMessageText(const std::string& text) override { Messages.push_back(text); }

    MapStyle Style;
    QImage Picture;
    std::vector<std::string> Messages;
};

// What a session left after a load, Calc and Fill of one file, drawn as
// contour lines when asked.
struct RecordBits {
    std::vector<double> Cells;
    double Min, Max, Mean, Sigma;
};
struct Outcome {
    std::vector<RecordBits> Records;
    QImage Picture;
    std::vector<std::string> Messages;
};

// Runs the files one after another through one session on the calling thread.
std::vector<Outcome> RunFiles(const std::vector<std::string>& paths, bool contours) {
    Painter painter;
    painter.Style.BorderCount = contours ? 7 : 5;
    Session session(painter);
    std::vector<Outcome> outcomes;
    for (const std::string& path : paths) {
        session.Settings().DrawType = contours ? DrawKind::Contour : DrawKind::Colormap;
        if (session.OpenFile(path) == 1) {
            session.Calc();
            session.Fill();
        }
        Outcome& out = outcomes.emplace_back();
        for (const DataKind kind : {DataKind::Raw, DataKind::Grid, DataKind::Fill}) {
            const ThkData& r = session.Record(kind);
            out.Records.push_back({std::vector<double>(&r.Value[0][0], &r.Value[0][0] + ThkGridDim * ThkGridDim),
                                   r.Min, r.Max, r.Mean, r.Sigma});
        }
        out.Picture = painter.Picture.copy();
        out.Messages = std::exchange(painter.Messages, {});
    }
    return outcomes;
}

void ExpectSame(const Outcome& got, const Outcome& serial, const std::string& what) {
    SCOPED_TRACE(what);
    for (std::size_t i = 0; i < serial.Records.size(); ++i) {
        const RecordBits& a = got.Records[i];
        const RecordBits& b = serial.Records[i];
        // Bit patterns: empty cells are equal, and so are NaNs of one pattern.
        EXPECT_EQ(std::memcmp(a.Cells.data(), b.Cells.data(), sizeof(double) * a.Cells.size()), 0)
            << "cells of record " << i;
        EXPECT_EQ(std::memcmp(&a.Min, &b.Min, 4 * sizeof(double)), 0) << "statistics of record " << i;
    }
    EXPECT_TRUE(got.Picture == serial.Picture);
    EXPECT_EQ(got.Messages, serial.Messages);
}

}  // namespace

// Each session keeps its own records, surface fitter, drawing style and
// messages: run side by side on two threads, two sessions give exactly what
// one session gives for their files one after the other. One file of each
// list is missing, so each session has a message of its own to show.
TEST(TwoSessions, OnTwoThreadsGiveTheSerialBits) {
    const std::string samples = MORVAPLOT_SAMPLES;
    const std::vector<std::string> first = {samples + "/dome.thk", samples + "/absent-first.thk",
                                            samples + "/wafer49.thk", samples + "/dome.thk"};
    const std::vector<std::string> second = {samples + "/tilt-rolloff.thk", samples + "/film-scan.thk",
                                             samples + "/absent-second.thk", samples + "/tilt-rolloff.thk"};
    const std::vector<Outcome> firstSerial = RunFiles(first, false);
    const std::vector<Outcome> secondSerial = RunFiles(second, true);
    ASSERT_FALSE(firstSerial[1].Messages.empty());
    ASSERT_FALSE(secondSerial[2].Messages.empty());

    std::vector<Outcome> firstSide;
    std::vector<Outcome> secondSide;
    std::thread other([&] { secondSide = RunFiles(second, true); });
    firstSide = RunFiles(first, false);
    other.join();

    for (std::size_t i = 0; i < first.size(); ++i) {
        ExpectSame(firstSide[i], firstSerial[i], first[i]);
        ExpectSame(secondSide[i], secondSerial[i], second[i]);
    }
}
