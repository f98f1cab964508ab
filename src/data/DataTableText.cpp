#include "data/DataTableText.h"

#include <charconv>

namespace {

void AppendInt(std::string& out, int value) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

// Same digits as printf "%.3f", whatever the process locale says.
void AppendFixed3(std::string& out, double value) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 3);
    out.append(buf, r.ptr);
}

}  // namespace

std::string BuildThkDataText(const ThkData& record, int step) {
    if (step <= 0) step = 1;
    const int size = record.Size < 0 ? -1 : (record.Size > ThkMaxSize ? ThkMaxSize : record.Size);
    const int columns = size / step + 1;
    std::string out;
    out.reserve(static_cast<size_t>(columns) * static_cast<size_t>(columns) * 12 + 64);
    out += "Y\xEF\xBC\xBCX\t";
    for (int x = 0; x <= size; x += step) {
        AppendInt(out, x);
        out += '\t';
    }
    out += '\n';
    for (int y = 0; y <= size; y += step) {
        AppendInt(out, y);
        out += '\t';
        for (int x = 0; x <= size; x += step) {
            const double v = record.Value[x][y];
            if (HasData(v)) AppendFixed3(out, v);
            out += '\t';
        }
        out += '\n';
    }
    return out;
}
