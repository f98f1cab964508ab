#pragma once

// Small .thk texts for the command-line tests, and the window's sequence of
// load, Calc and Fill written out with the core functions, to compare the
// tool's output with.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "calc/Fill.h"
#include "calc/GridCalc.h"
#include "core/NumberText.h"
#include "data/ThkReader.h"
#include "support/RecordFactory.h"

// A dome with a tilt on a pitch lattice over Size, values with 3 decimals.
// With spike, the centre position is first listed with 2000.0 and listed again
// later with its dome value: the reader's Max (values as read) is then 2000,
// while the cells' maximum is the dome's.
inline std::string DomeThk(int size, int pitch, bool spike) {
    std::string text =
        std::to_string(size) + "\n" + std::to_string(pitch) + "," + std::to_string(pitch) + "\n";
    const int c = size / 2 / pitch * pitch;
    if (spike) text += std::to_string(c) + "," + std::to_string(c) + ",2000.0,\n";
    const double h = size / 2.0;
    for (int x = 0; x <= size; x += pitch) {
        for (int y = 0; y <= size; y += pitch) {
            const double r2 = ((x - h) * (x - h) + (y - h) * (y - h)) / (h * h);
            char line[64];
            std::snprintf(line, sizeof line, "%d,%d,%.3f,\n", x, y,
                          1000.0 + 50.0 * (1.0 - r2) + 0.1 * x - 0.05 * y);
            text += line;
        }
    }
    return text;
}

// The records after the window's Load (with its first redraw, which recomputes
// the Raw statistics from the cells), optional radius optimisation, Calc and
// Fill, with the window's defaults unless given.
struct WindowRun {
    std::unique_ptr<ThkData> Raw = NewRecord();
    std::unique_ptr<ThkData> Grid = NewRecord();
    std::unique_ptr<ThkData> Fill = NewRecord();
    float Radius = 0.0f;
    int FillResult = 0;

    WindowRun(const std::string& path, bool optimize = true, const std::string& radiusText = "80.0",
              double power = 3.0, int pitch = 20, int order = 3) {
        if (ReadThkFile(path, *Raw) != 1) return;
        RecalcStatistics(*Raw);
        std::string label = radiusText;
        if (optimize) {
            const float r = OptimizeSearchRadius(*Raw, pitch, 1);
            if (r >= 0.0f) label = FormatFixed(r, 5, 1);
        }
        Radius = static_cast<float>(std::strtod(label.c_str(), nullptr));
        CalcGrid(*Raw, *Grid, power, Radius, pitch, 1);
        FillResult = RunFill(*Grid, *Fill, order);
    }
};
