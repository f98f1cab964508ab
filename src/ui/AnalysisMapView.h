#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "analysis/AnalysisMask.h"
#include "colour/MapPicture.h"
#include "core/Codes.h"
#include "data/ThkData.h"

class QPainter;

// The zoomable map of the analysis window. What a paint draws is prepared
// once, when the record, its colours or the mask change (the cells coloured
// into one pixel each); a paint only scales the visible part of that picture
// and draws the outlines and markers over it, so panning and zooming never
// wait for anything else.

// A measured site or a calculated node, with the text written beside it.
struct MapMarker {
    int X = 0;  // cell
    int Y = 0;
    QString Text;
};

// Every data cell of record within 0..Size as a marker, x-major, its value
// written with 8 significant digits and 3 decimals.
std::vector<MapMarker> MarkersOf(const ThkData& record);

// The record's cells coloured as the main window colours them (PaintMap's
// colour map with the same style, ramp set and display range Min..Max), one
// pixel per cell: a (Size + 1) x (Size + 1) RGB32 picture whose pixel (x, y)
// is cell (x, y); cells outside the mask take the back colour. The mask is
// the one of the record's Size.
QImage AnalysisCellImage(const ThkData& record, const MapStyle& style, RampSetKind ramp,
                         const AnalysisMask& mask);

struct AnalysisMapScene {
    QImage Cells;  // see AnalysisCellImage; null: only the back colour
    QColor Back = Qt::black;
    WaferFrame Frame;               // the wafer outline and exclusion circle when HasWafer
    double WaferRadiusUnits = 0.0;  // file units
    double KeptRadiusUnits = -1.0;  // file units; below 0 or at the wafer radius: not drawn
    std::vector<MapMarker> Sites;   // drawn as rings
    std::vector<MapMarker> Nodes;   // drawn as squares
    std::optional<QLineF> Line;     // the profile line, file units
};

// Where the cells lie in the view: cell (x, y) covers the pixels from
// Offset + (x, y) * Scale to Offset + (x + 1, y + 1) * Scale, so position u
// in file units (the centre of cell u) lies at Offset + (u + 0.5) * Scale.
struct MapViewport {
    double Scale = 1.0;  // pixels per cell
    QPointF Offset;
};

// The whole square of cells cells, centred in a view of the given size.
MapViewport FitViewport(int cells, QSizeF view);

// The viewport scaled by factor (clamped to minScale..maxScale) so that the
// position under pixel stays under it.
MapViewport ZoomAbout(const MapViewport& viewport, QPointF pixel, double factor, double minScale,
                      double maxScale);

// Pixel of a position in file units, and the reverse.
QPointF PixelOf(const MapViewport& viewport, QPointF units);
QPointF UnitsOf(const MapViewport& viewport, QPointF pixel);

// Paints the scene into area of painter's device: the back colour, the
// visible cells scaled nearest-neighbour, the wafer outline and exclusion
// circle as thin lines, the markers while the zoom leaves them room (at most
// one per MarkerRoomPixels of the area), and their texts while it leaves
// room for those (no text overlaps another text or a marker).
inline constexpr int MarkerRoomPixels = 200;
void PaintAnalysisMap(QPainter& painter, const QRect& area, const AnalysisMapScene& scene,
                      const MapViewport& viewport);

class AnalysisMapView : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisMapView(QWidget* parent = nullptr);

    // A new scene; the view keeps its zoom unless the number of cells changed.
    void SetScene(AnalysisMapScene scene);
    const AnalysisMapScene& Scene() const { return scene_; }
    void SetLine(std::optional<QLineF> line);

    const MapViewport& Viewport() const { return viewport_; }
    // Zoom by factor about a pixel of the view (the wheel's step is 1.25).
    void ZoomAt(QPointF pixel, double factor);
    // Back to the whole square.
    void ResetView();

    QSize sizeHint() const override { return {600, 600}; }

signals:
    // The pointer is over the view at this position in file units.
    void pointerMoved(QPointF units);
    void pointerLeft();
    // A line dragged with Shift held, in file units.
    void lineDrawn(QLineF units);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int Cells() const { return scene_.Cells.isNull() ? 1 : scene_.Cells.width(); }
    double FitScale() const;

    AnalysisMapScene scene_;
    MapViewport viewport_;
    bool fitted_ = true;  // the whole square, refitted when the view resizes
    enum class Drag { None, Pan, Line } drag_ = Drag::None;
    QPointF dragStart_;  // pixel
    MapViewport dragViewport_;
    QPointF lineStart_;  // file units
};
