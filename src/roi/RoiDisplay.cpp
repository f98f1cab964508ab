#include "roi/RoiDisplay.h"

#include <algorithm>
#include <charconv>

#include "core/Message.h"
#include "core/NumberText.h"

namespace {

// Gap in pixels between the outline and its label column.
constexpr int LabelGap = 8;

const char* const NoValueText = "-----";

// Truncation toward zero of a value computed in double from small integers
// and a float, so every step is exact before the cut.
int Trunc(double value) {
    return static_cast<int>(value);
}

void AppendFixed(std::string& out, double value, int decimals) {
    // Fixed notation, correctly rounded like "%.*f" but always with '.'.
    char buf[400];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, std::max(decimals, 0));
    out.append(buf, r.ptr);
}

}  // namespace

float RoiScale(int recordSize, int extent) {
    if (extent <= 0) return 0.0f;
    return static_cast<float>(static_cast<double>(recordSize) / extent);
}

int RoiDisplayIndex(int pixel, int recordSize, int extent) {
    const float product = static_cast<float>(pixel * static_cast<double>(RoiScale(recordSize, extent)));
    return Trunc(product);
}

int RoiCopyIndex(int pixel, int recordSize, int extent) {
    if (extent <= 0) return 0;
    return static_cast<int>(static_cast<long long>(pixel) * recordSize / extent);
}

float RoiPixelRadius(int roiSize, int recordSize, int width) {
    const float scale = RoiScale(recordSize, width);
    if (scale > 0.0f) return static_cast<float>(roiSize / static_cast<double>(scale));
    return static_cast<float>(roiSize);
}

bool CollectRoiPlacements(const std::array<bool, 2>& shown, const std::array<int, 2>& pixelX,
                          const std::array<int, 2>& pixelY, const std::array<RoiShape, 2>& type,
                          const std::array<int, 2>& size, const std::array<int, 2>& fDigit, int recordSize,
                          int width, int height, std::array<RoiPlacement, 2>& placements,
                          const MessageSink& messages) {
    for (std::size_t i = 0; i < 2; ++i) {
        RoiPlacement& p = placements[i];
        p = RoiPlacement{};
        p.Shown = shown[i];
        p.Type = type[i];
        p.Size = size[i];
        p.FDigit = fDigit[i];
        if (p.Shown) {
            p.XIndex = RoiCopyIndex(pixelX[i], recordSize, width);
            p.YIndex = RoiCopyIndex(pixelY[i], recordSize, height);
        }
    }
    if (!shown[0] && !shown[1]) {
        messages.Show("ROI area not selected!");
        return false;
    }
    return true;
}

RoiLabelTexts RoiLabelCaptions(int count, const RoiStats& stats, int fDigit) {
    const auto text = [&](double value) {
        return count > 0 ? FormatFixed(value, 7, fDigit) : std::string(NoValueText);
    };
    return {"Min: " + text(stats.Min), "Max: " + text(stats.Max), "Mean: " + text(stats.Mean)};
}

std::string BuildRoiText(const std::array<RoiPlacement, 2>& placements, const std::string& separator,
                         const ThkData& fill, const MessageSink& messages) {
    if (!placements[0].Shown && !placements[1].Shown) {
        messages.Show("ROI area(s) are not selected.");
        return {};
    }
    // The separator's first character ends every cell; an empty separator
    // leaves the cells unseparated.
    const std::string cellEnd = separator.substr(0, 1);

    std::string text = separator + separator;
    if (fill.Valid) text += fill.Name + separator;
    text += '\n';

    std::array<RoiStats, 2> stats{};
    for (std::size_t i = 0; i < 2; ++i) {
        const RoiPlacement& p = placements[i];
        if (!p.Shown) continue;
        RoiStats s{NoData, NoData, NoData};
        if (CalcRoiStatistics(fill, p.Type, p.XIndex, p.YIndex, p.Size, s) > 0) {
            const double divisor = fill.Divisor == 0.0 ? 1.0 : fill.Divisor;
            s = RoiStats{s.Min / divisor, s.Max / divisor, s.Mean / divisor};
        } else {
            s = RoiStats{NoData, NoData, NoData};
        }
        stats[i] = s;
    }

    for (std::size_t i = 0; i < 2; ++i) {
        const RoiPlacement& p = placements[i];
        if (!p.Shown) continue;
        const std::pair<const char*, double> values[] = {
            {"Min", stats[i].Min}, {"Max", stats[i].Max}, {"Mean", stats[i].Mean}};
        for (const auto& [name, value] : values) {
            text += "ROI" + std::to_string(i + 1) + cellEnd + name + cellEnd;
            if (fill.Valid) {
                if (HasData(value))
                    AppendFixed(text, value, p.FDigit);
                else
                    text += "---.--";
                text += cellEnd;
            }
            text += '\n';
        }
    }
    return text;
}

std::pair<float, float> PixelToData(int width, int height, int px, int py, int recordSize) {
    const auto convert = [recordSize](int pixel, int extent) {
        if (extent <= 0) return 0.0f;
        float f = static_cast<float>(static_cast<double>(static_cast<long long>(pixel) * (recordSize + 1)) /
                                     extent);
        if (f < 0.0f)
            f = 0.0f;
        else if (f > static_cast<float>(recordSize))
            f = static_cast<float>(recordSize);
        return f;
    };
    return {convert(px, width), convert(py, height)};
}

CursorTexts CursorReadout(const ThkData& record, int width, int height, int px, int py) {
    if (!record.Valid) return {"---", "---", "---.---"};
    const auto [fx, fy] = PixelToData(width, height, px, py, record.Size);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    CursorTexts texts{std::to_string(ix), std::to_string(iy), "---.---"};
    // Size never exceeds 500 in a Valid record; the bound only guards the array.
    if (ix >= 0 && ix <= ThkMaxSize && iy >= 0 && iy <= ThkMaxSize) {
        const double v = record.Value[ix][iy];
        if (HasData(v)) texts.Data = FormatFixed(v, 8, 3);
    }
    return texts;
}

RoiLayout LayoutRoi(int x, int y, int roiSize, int recordSize, int width, int height, int maxLabelWidth,
                    int meanLabelWidth, int labelHeight) {
    const double r = RoiPixelRadius(roiSize, recordSize, width);
    RoiLayout layout;
    layout.Outline.Left = Trunc(x - r) + RoiPanelOffset;
    layout.Outline.Top = Trunc(y - r) + RoiPanelOffset;
    layout.Outline.Width = Trunc(2.0 * r + 1.0);
    layout.Outline.Height = layout.Outline.Width;

    const int w = std::max(maxLabelWidth, meanLabelWidth);
    const int h = labelHeight;
    const int lx = width < x + LabelGap + r + w ? Trunc(x - (LabelGap + r + w)) : Trunc(LabelGap + r + x);

    int t0 = Trunc(y - 1.5 * h);
    int t1 = y - h / 2;
    int t2 = y + h / 2;
    int shift = 0;
    if (t0 < 2)
        shift = 2 - t0;
    else if (t2 + h > height)
        shift = height - (t2 + h);
    t0 += shift;
    t1 += shift;
    t2 += shift;

    layout.MinLabel = {lx + RoiPanelOffset, t0 + RoiPanelOffset};
    layout.MaxLabel = {lx + RoiPanelOffset, t1 + RoiPanelOffset};
    layout.MeanLabel = {lx + RoiPanelOffset, t2 + RoiPanelOffset};
    return layout;
}
