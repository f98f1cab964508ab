#include "ui/AnalysisMapView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

#include "colour/ColorMap.h"
#include "core/Color.h"
#include "core/NumberText.h"

namespace {

// Half the side of a marker, in pixels.
constexpr double MarkerRadius = 3.5;
// Gap between a marker and its text.
constexpr double TextGap = 3.0;
// The view zooms in to this many pixels per cell at most, and out to half the
// fitting scale.
constexpr double MaxScale = 96.0;

struct Placed {
    QPointF Centre;
    const MapMarker* Marker;
};

// The markers whose square lies in area.
void VisibleMarkers(const std::vector<MapMarker>& markers, const QRectF& area, const MapViewport& viewport,
                    std::vector<Placed>& out) {
    const QRectF reach = area.adjusted(-MarkerRadius, -MarkerRadius, MarkerRadius, MarkerRadius);
    for (const MapMarker& m : markers) {
        const QPointF c = PixelOf(viewport, QPointF(m.X, m.Y));
        if (reach.contains(c)) out.push_back({c, &m});
    }
}

// A site's ring (white inside a black rim, open in the middle, where the
// colour of its cell shows) or a node's black square, on a transparent
// picture of the marker's side.
QImage MarkerSprite(bool site) {
    const int side = static_cast<int>(2 * MarkerRadius) + 1;
    QImage sprite(side, side, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    QPainter p(&sprite);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    const QPointF middle(side / 2.0, side / 2.0);
    if (site) {
        p.setPen(QPen(Qt::black, 1.0));
        p.drawEllipse(middle, MarkerRadius, MarkerRadius);
        p.setPen(QPen(Qt::white, 1.0));
        p.drawEllipse(middle, MarkerRadius - 1.0, MarkerRadius - 1.0);
    } else {
        p.setPen(QPen(Qt::black, 1.0));
        p.drawRect(QRectF(1.5, 1.5, side - 3.0, side - 3.0));
    }
    return sprite;
}

QRectF MarkerBox(QPointF c) {
    return {c.x() - MarkerRadius, c.y() - MarkerRadius, 2 * MarkerRadius, 2 * MarkerRadius};
}

}  // namespace

std::vector<MapMarker> MarkersOf(const ThkData& record) {
    std::vector<MapMarker> markers;
    const int size = std::clamp(record.Size, 0, ThkMaxSize);
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y)
            if (HasData(record.Value[x][y]))
                markers.push_back({x, y, QString::fromStdString(FormatFixed(record.Value[x][y], 8, 3))});
    return markers;
}

QImage AnalysisCellImage(const ThkData& record, const MapStyle& style, RampSetKind ramp,
                         const AnalysisMask& mask) {
    const int cells = std::clamp(record.Size, 0, ThkMaxSize) + 1;
    // At W = Size + 1 the colour map's sampling scale is exactly 1: pixel i
    // shows cell i.
    QImage image(cells, cells, QImage::Format_RGB32);
    DrawColorMap(image, record, style.UseColormap, RampSetOf(ramp), style.Condition, style.BackColor,
                 style.Table);
    const QRgb back = ColorToArgb(style.BackColor);
    const bool sameSize = mask.Size() == cells - 1;
    for (int y = 0; y < cells; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < cells; ++x) {
            const bool inside =
                sameSize ? (y >= mask.Column(x).First && y <= mask.Column(x).Last) : mask.Inside(x, y);
            if (!inside) row[x] = back;
        }
    }
    return image;
}

MapViewport FitViewport(int cells, QSizeF view) {
    MapViewport v;
    const double side = std::max(1.0, std::min(view.width(), view.height()));
    v.Scale = side / std::max(1, cells);
    v.Offset = QPointF((view.width() - cells * v.Scale) / 2, (view.height() - cells * v.Scale) / 2);
    return v;
}

MapViewport ZoomAbout(const MapViewport& viewport, QPointF pixel, double factor, double minScale,
                      double maxScale) {
    MapViewport v;
    v.Scale = std::clamp(viewport.Scale * factor, minScale, std::max(minScale, maxScale));
    // The cell-space point under the pixel stays under it.
    const QPointF cell = (pixel - viewport.Offset) / viewport.Scale;
    v.Offset = pixel - cell * v.Scale;
    return v;
}

QPointF PixelOf(const MapViewport& viewport, QPointF units) {
    return viewport.Offset + (units + QPointF(0.5, 0.5)) * viewport.Scale;
}

QPointF UnitsOf(const MapViewport& viewport, QPointF pixel) {
    return (pixel - viewport.Offset) / viewport.Scale - QPointF(0.5, 0.5);
}

void PaintAnalysisMap(QPainter& painter, const QRect& area, const AnalysisMapScene& scene,
                      const MapViewport& viewport) {
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, scene.Back);
    const double s = viewport.Scale;

    if (!scene.Cells.isNull()) {
        const int n = scene.Cells.width();
        // Whole cells that reach into the area; only they are scaled.
        const auto first = [&](double pixel, double offset) {
            return std::clamp(static_cast<int>(std::floor((pixel - offset) / s)), 0, n);
        };
        const auto last = [&](double pixel, double offset) {
            return std::clamp(static_cast<int>(std::ceil((pixel - offset) / s)), 0, n);
        };
        const int x0 = first(area.left(), viewport.Offset.x());
        const int x1 = last(area.left() + area.width(), viewport.Offset.x());
        const int y0 = first(area.top(), viewport.Offset.y());
        const int y1 = last(area.top() + area.height(), viewport.Offset.y());
        if (x1 > x0 && y1 > y0) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            const QRectF target(viewport.Offset.x() + x0 * s, viewport.Offset.y() + y0 * s, (x1 - x0) * s,
                                (y1 - y0) * s);
            painter.drawImage(target, scene.Cells, QRectF(x0, y0, x1 - x0, y1 - y0));
        }
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    if (scene.Frame.HasWafer) {
        const QPointF centre = PixelOf(viewport, QPointF(scene.Frame.CentreX, scene.Frame.CentreY));
        QPen pen(Qt::white, 1.0);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const double r = scene.WaferRadiusUnits * s;
        painter.drawEllipse(centre, r, r);
        if (scene.KeptRadiusUnits >= 0.0 && scene.KeptRadiusUnits < scene.WaferRadiusUnits) {
            pen.setStyle(Qt::DashLine);
            painter.setPen(pen);
            const double k = scene.KeptRadiusUnits * s;
            painter.drawEllipse(centre, k, k);
        }
    }

    // Markers: each set only while the zoom leaves it room.
    const QRectF areaF(area);
    const double room = areaF.width() * areaF.height() / MarkerRoomPixels;
    std::vector<Placed> sites;
    std::vector<Placed> nodes;
    VisibleMarkers(scene.Sites, areaF, viewport, sites);
    VisibleMarkers(scene.Nodes, areaF, viewport, nodes);
    if (static_cast<double>(sites.size()) > room) sites.clear();
    if (static_cast<double>(nodes.size()) > room) nodes.clear();
    // Each marker is a copy of one small picture drawn once per paint, put at
    // whole pixels: thousands of them cost no more than a few blits.
    const QImage siteSprite = MarkerSprite(true);
    const QImage nodeSprite = MarkerSprite(false);
    const int half = siteSprite.width() / 2;
    const auto corner = [half](QPointF c) { return QPoint(qRound(c.x()) - half, qRound(c.y()) - half); };
    for (const Placed& p : nodes)
        painter.drawImage(corner(p.Centre), nodeSprite);
    for (const Placed& p : sites) {
        const QPoint at = corner(p.Centre);
        if (!scene.Cells.isNull() && scene.Cells.valid(p.Marker->X, p.Marker->Y))
            painter.fillRect(at.x() + half - 2, at.y() + half - 2, 5, 5,
                             QColor::fromRgb(scene.Cells.pixel(p.Marker->X, p.Marker->Y)));
        painter.drawImage(at, siteSprite);
    }

    // Texts: only while all of them together would cover at most half the
    // area; then each is written where it overlaps no text written before
    // and no marker, sites first.
    const QFontMetricsF metrics(painter.font());
    const double textHeight = metrics.height();
    const double typicalWidth = metrics.horizontalAdvance(QStringLiteral("0000.000")) + TextGap;
    const double markers = static_cast<double>(sites.size() + nodes.size());
    if (markers == 0 || markers * typicalWidth * textHeight > areaF.width() * areaF.height() / 2) {
        painter.restore();
        return;
    }
    std::vector<QRectF> boxes;
    boxes.reserve(sites.size() + nodes.size());
    for (const auto* set : {&sites, &nodes})
        for (const Placed& p : *set)
            boxes.push_back(MarkerBox(p.Centre));
    std::size_t own = 0;  // the marker's own box, which its text may touch
    painter.setPen(Qt::black);
    for (const auto* set : {&sites, &nodes}) {
        for (const Placed& p : *set) {
            const double w = metrics.horizontalAdvance(p.Marker->Text) + 2;
            const double x = p.Centre.x();
            const double y = p.Centre.y();
            const double reach = MarkerRadius + TextGap;
            // Right of the marker, else above, below or left of it.
            const std::array<QRectF, 4> places{QRectF(x + reach, y - textHeight / 2, w, textHeight),
                                               QRectF(x - w / 2, y - reach - textHeight, w, textHeight),
                                               QRectF(x - w / 2, y + reach, w, textHeight),
                                               QRectF(x - reach - w, y - textHeight / 2, w, textHeight)};
            const QRectF* chosen = nullptr;
            for (const QRectF& box : places) {
                bool free = true;
                for (std::size_t i = 0; i < boxes.size() && free; ++i)
                    if (i != own && boxes[i].intersects(box)) free = false;
                if (free) {
                    chosen = &box;
                    break;
                }
            }
            ++own;
            if (!chosen) continue;
            const QRectF box = *chosen;
            boxes.push_back(box);
            painter.fillRect(box, QColor(255, 255, 255, 190));
            painter.drawText(box, Qt::AlignCenter, p.Marker->Text);
        }
    }
    painter.restore();
}

AnalysisMapView::AnalysisMapView(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 200);
    setCursor(Qt::CrossCursor);
}

void AnalysisMapView::SetScene(AnalysisMapScene scene) {
    const int before = Cells();
    scene_ = std::move(scene);
    if (fitted_ || Cells() != before) ResetView();
    update();
}

void AnalysisMapView::SetLine(std::optional<QLineF> line) {
    scene_.Line = line;
    update();
}

double AnalysisMapView::FitScale() const {
    return FitViewport(Cells(), size()).Scale;
}

void AnalysisMapView::ZoomAt(QPointF pixel, double factor) {
    viewport_ = ZoomAbout(viewport_, pixel, factor, FitScale() / 2, MaxScale);
    fitted_ = false;
    update();
}

void AnalysisMapView::ResetView() {
    viewport_ = FitViewport(Cells(), size());
    fitted_ = true;
    update();
}

void AnalysisMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintAnalysisMap(painter, rect(), scene_, viewport_);
    if (scene_.Line) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QPointF a = PixelOf(viewport_, scene_.Line->p1());
        const QPointF b = PixelOf(viewport_, scene_.Line->p2());
        painter.setPen(QPen(Qt::white, 3.0));
        painter.drawLine(a, b);
        painter.setPen(QPen(Qt::black, 1.0));
        painter.drawLine(a, b);
        painter.setBrush(Qt::black);
        painter.drawEllipse(a, 3.0, 3.0);
    }
}

void AnalysisMapView::resizeEvent(QResizeEvent*) {
    if (fitted_) ResetView();
}

void AnalysisMapView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0.0) ZoomAt(event->position(), std::pow(1.25, steps));
    event->accept();
}

void AnalysisMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragStart_ = event->position();
    if (event->modifiers() & Qt::ShiftModifier) {
        drag_ = Drag::Line;
        lineStart_ = UnitsOf(viewport_, dragStart_);
    } else {
        drag_ = Drag::Pan;
        dragViewport_ = viewport_;
        setCursor(Qt::ClosedHandCursor);
    }
}

void AnalysisMapView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF units = UnitsOf(viewport_, event->position());
    if (drag_ == Drag::Pan) {
        viewport_.Offset = dragViewport_.Offset + (event->position() - dragStart_);
        fitted_ = false;
        update();
    } else if (drag_ == Drag::Line) {
        SetLine(QLineF(lineStart_, units));
    }
    emit pointerMoved(units);
}

void AnalysisMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (drag_ == Drag::Line) {
        const QLineF line(lineStart_, UnitsOf(viewport_, event->position()));
        SetLine(line);
        emit lineDrawn(line);
    }
    drag_ = Drag::None;
    setCursor(Qt::CrossCursor);
}

void AnalysisMapView::leaveEvent(QEvent*) {
    emit pointerLeft();
}
