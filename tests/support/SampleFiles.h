#pragma once

#include <cstdio>
#include <string>

// A dome with a tilt on a pitch lattice over Size, as .thk text with values
// of 3 decimals about base. With spike, the centre position is first listed with 2000.0
// and listed again later with its dome value: the reader's Max (values as
// read) is then 2000, while the cells' maximum is the dome's.
inline std::string DomeThk(int size, int pitch, bool spike, double base = 1000.0) {
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
                          base + 50.0 * (1.0 - r2) + 0.1 * x - 0.05 * y);
            text += line;
        }
    }
    return text;
}
