#pragma once

#include <QObject>
#include <array>

#include "core/Message.h"
#include "data/ThkData.h"
#include "data/ViewSettings.h"
#include "roi/RoiDisplay.h"

class ClickLabel;
class ImageBox;
class QWidget;
class ShapeSwatch;

// The two regions of interest over the map: their outlines and value labels,
// children of the map panel above the map image, and the pixel centres where
// the user placed them. Whether an ROI is placed is not kept here (the
// session holds it); callers pass it in. Every call reads the ROI settings as
// last read from the controls.
class RoiOverlay : public QObject {
    Q_OBJECT
public:
    // panel: the map panel (Pnl_CM), parent of the outlines and labels and of
    // this object; image: the map image at (2, 2) in it, whose width and
    // height are the W and H of every conversion and whose picture the
    // labels' rims contrast with. Create it after the image, so the outlines
    // and labels lie above it.
    RoiOverlay(QWidget* panel, const ImageBox* image);

    // Outlines: clear brush, pen width 2, Tag 0 and 1, hidden.
    ShapeSwatch* Shp_ROI_1 = nullptr;
    ShapeSwatch* Shp_ROI_2 = nullptr;
    // Value labels: bold, transparent, sized to their text, Tag 0 for ROI 1
    // and 1 for ROI 2, hidden. The text, in the ROI's colour, has a one-pixel
    // rim that contrasts with the map under the label (RoiRimColor), so it
    // reads on any colour.
    ClickLabel* Lbl_ROI_Min_1 = nullptr;
    ClickLabel* Lbl_ROI_Max_1 = nullptr;
    ClickLabel* Lbl_ROI_Mean_1 = nullptr;
    ClickLabel* Lbl_ROI_Min_2 = nullptr;
    ClickLabel* Lbl_ROI_Max_2 = nullptr;
    ClickLabel* Lbl_ROI_Mean_2 = nullptr;

    // Centres in map-image pixels, kept while an ROI is removed.
    std::array<int, 2> RoiPixelX{};
    std::array<int, 2> RoiPixelY{};

    // ROI i's controls (i is 0 or 1).
    ShapeSwatch* Outline(int i) const;
    ClickLabel* MinLabel(int i) const;
    ClickLabel* MaxLabel(int i) const;
    ClickLabel* MeanLabel(int i) const;

    // Which ROI a press on the map places: 0 for the left button, 1 for the
    // right one, with Ctrl held (other keys do not matter); -1 otherwise.
    static int PlacedRoi(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    // Stores ROI i's centre (the press position on the map image).
    void PlaceRoi(int i, int x, int y);

    // Measures ROI i on record (the record of the current data type; nullptr
    // when there is none) and writes its captions, colours, outline and label
    // places. Without a record holding data the captions read "-----" and
    // the places stay. Visibility is left to ShowRoi.
    void UpdateRoiDisplay(int i, const ThkData* record, const ViewSettings& settings);

    // Shows or hides ROI i: the outline when shown, each label when shown and
    // its show switch is on.
    void ShowRoi(int i, bool shown, const ViewSettings& settings);

    // For both ROIs: updates a shown one, then shows or hides it.
    void RefreshRois(const std::array<bool, 2>& shown, const ThkData* record, const ViewSettings& settings);

    // The placements Copy ROI measures, with the centres converted at the Size
    // of record (0 when there is none); false after the message when no ROI
    // is shown.
    bool CollectRoiPlacements(const std::array<bool, 2>& shown, const ThkData* record,
                              const ViewSettings& settings, std::array<RoiPlacement, 2>& placements,
                              const MessageSink& messages) const;

signals:
    // An outline or a value label of ROI roi was pressed with Ctrl held (any
    // button; the second press of a double click counts): the user removes
    // that ROI. A press without Ctrl is swallowed.
    void removeRequested(int roi);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Pressed(int roi, Qt::KeyboardModifiers modifiers);

    const ImageBox* image_;
    std::array<ShapeSwatch*, 2> outlines_{};
    std::array<std::array<ClickLabel*, 3>, 2> labels_{};  // Min, Max, Mean per ROI
};

// The rim of ROI label text over a backdrop of mean luma (0.299 R + 0.587 G
// + 0.114 B, 0..255): black over a light one (128 and up), white over a dark one.
Color RoiRimColor(double backdropLuma);

// Copy ROI: puts BuildRoiText(placements, "\t", fill) on the clipboard.
// Returns 1 when text went there; -1 when the text is empty (no ROI shown,
// after its message) and the clipboard is left alone.
int CopyRoiText(const std::array<RoiPlacement, 2>& placements, const ThkData& fill,
                const MessageSink& messages);
