#include "data/ThkWriter.h"

#include <cstdio>

std::string ThkText(const ThkData& record) {
    std::string text = std::to_string(record.Size) + "\n1,1\n";
    char line[80];
    for (int x = 0; x < ThkGridDim; ++x) {
        for (int y = 0; y < ThkGridDim; ++y) {
            if (!HasData(record.Value[x][y])) continue;
            std::snprintf(line, sizeof line, "%d,%d,%.3f,\n", x, y, record.Value[x][y]);
            text += line;
        }
    }
    return text;
}
