#include "ui/RoiOverlay.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "roi/RoiStats.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/ImageBox.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

constexpr int OutlinePenWidth = 2;

QColor ToQColor(Color c) {
    return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

double Luma(QRgb argb) {
    return 0.299 * qRed(argb) + 0.587 * qGreen(argb) + 0.114 * qBlue(argb);
}

// An ROI value label whose text, in the label's text colour, is drawn over a
// one-pixel rim that contrasts with the map shown under the label. The
// margin of one pixel keeps the rim inside the label.
class RimLabel : public ClickLabel {
public:
    RimLabel(const QString& text, const ImageBox* backdrop, QWidget* parent)
        : ClickLabel(text, parent), backdrop_(backdrop) {
        setContentsMargins(1, 1, 1, 1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        const QRect box = contentsRect();
        const int flags = static_cast<int>(alignment());
        painter.setPen(ToQColor(RoiRimColor(BackdropLuma())));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx != 0 || dy != 0) painter.drawText(box.translated(dx, dy), flags, text());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(box, flags, text());
    }

private:
    // Mean luma of what the map shows under the label (its picture with the
    // overlay's opaque pixels over it); the panel's own colour where the
    // label lies beside the map.
    double BackdropLuma() const {
        const QImage& picture = backdrop_->Picture();
        const QImage& overlay = backdrop_->Overlay();
        const bool overlaid = overlay.size() == picture.size();
        const QRect under =
            geometry().translated(-backdrop_->pos()).intersected(QRect(QPoint(0, 0), picture.size()));
        if (under.isEmpty()) return Luma(palette().color(QPalette::Window).rgb());
        double sum = 0.0;
        for (int y = under.top(); y <= under.bottom(); ++y)
            for (int x = under.left(); x <= under.right(); ++x) {
                const QRgb over = overlaid ? overlay.pixel(x, y) : 0u;
                sum += Luma(qAlpha(over) == 255 ? over : picture.pixel(x, y));
            }
        return sum / (static_cast<double>(under.width()) * under.height());
    }

    const ImageBox* backdrop_;
};

}  // namespace

Color RoiRimColor(double backdropLuma) {
    return backdropLuma >= 128.0 ? Color{0x000000} : Color{0xFFFFFF};
}

RoiOverlay::RoiOverlay(QWidget* panel, const ImageBox* image) : QObject(panel), image_(image) {
    const QString captions[3] = {QStringLiteral("Min:  ---.--"), QStringLiteral("Max:  ---.--"),
                                 QStringLiteral("Mean: ---.--")};
    const QString names[3] = {QStringLiteral("Lbl_ROI_Min_"), QStringLiteral("Lbl_ROI_Max_"),
                              QStringLiteral("Lbl_ROI_Mean_")};
    QFont bold = panel->font();
    bold.setBold(true);
    for (int i = 0; i < 2; ++i) {
        auto* outline = new ShapeSwatch(panel);
        outline->setObjectName(QStringLiteral("Shp_ROI_") + QString::number(i + 1));
        outline->Tag = i;
        outline->SetBrushClear(true);
        outline->SetPen(0x000000, OutlinePenWidth);
        outline->hide();
        outline->installEventFilter(this);
        outline->raise();
        outlines_[static_cast<std::size_t>(i)] = outline;
        for (int k = 0; k < 3; ++k) {
            ClickLabel* label = new RimLabel(captions[k], image, panel);
            label->setObjectName(names[k] + QString::number(i + 1));
            label->Tag = i;
            label->setFont(bold);
            label->setAutoFillBackground(false);
            label->adjustSize();
            label->hide();
            label->installEventFilter(this);
            label->raise();
            labels_[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] = label;
        }
    }
    Shp_ROI_1 = outlines_[0];
    Shp_ROI_2 = outlines_[1];
    Lbl_ROI_Min_1 = labels_[0][0];
    Lbl_ROI_Max_1 = labels_[0][1];
    Lbl_ROI_Mean_1 = labels_[0][2];
    Lbl_ROI_Min_2 = labels_[1][0];
    Lbl_ROI_Max_2 = labels_[1][1];
    Lbl_ROI_Mean_2 = labels_[1][2];
}

ShapeSwatch* RoiOverlay::Outline(int i) const {
    return outlines_.at(static_cast<std::size_t>(i));
}

ClickLabel* RoiOverlay::MinLabel(int i) const {
    return labels_.at(static_cast<std::size_t>(i))[0];
}

ClickLabel* RoiOverlay::MaxLabel(int i) const {
    return labels_.at(static_cast<std::size_t>(i))[1];
}

ClickLabel* RoiOverlay::MeanLabel(int i) const {
    return labels_.at(static_cast<std::size_t>(i))[2];
}

int RoiOverlay::PlacedRoi(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (!(modifiers & Qt::ControlModifier)) return -1;
    if (button == Qt::LeftButton) return 0;
    if (button == Qt::RightButton) return 1;
    return -1;
}

void RoiOverlay::PlaceRoi(int i, int x, int y) {
    RoiPixelX.at(static_cast<std::size_t>(i)) = x;
    RoiPixelY.at(static_cast<std::size_t>(i)) = y;
}

void RoiOverlay::UpdateRoiDisplay(int i, const ThkData* record, const ViewSettings& settings) {
    const auto k = static_cast<std::size_t>(i);
    if (!record || !record->Valid) {
        // No data to measure: the captions say so, the places stay.
        const RoiLabelTexts none =
            RoiLabelCaptions(0, RoiStats{NoData, NoData, NoData}, settings.RoiFDigit[k]);
        const std::string* captions[3] = {&none.Min, &none.Max, &none.Mean};
        for (std::size_t n = 0; n < 3; ++n) {
            labels_[k][n]->setText(QString::fromStdString(*captions[n]));
            labels_[k][n]->adjustSize();
        }
        return;
    }
    const int width = image_->width();
    const int height = image_->height();
    const int x = RoiPixelX.at(k);
    const int y = RoiPixelY.at(k);
    const RoiShape shape = settings.RoiType[k];
    const int size = settings.RoiSize[k];

    RoiStats stats{NoData, NoData, NoData};
    const int count = CalcRoiStatistics(*record, shape, RoiDisplayIndex(x, record->Size, width),
                                        RoiDisplayIndex(y, record->Size, height), size, stats);
    const RoiLabelTexts texts = RoiLabelCaptions(count, stats, settings.RoiFDigit[k]);
    const QColor color = ToQColor(settings.RoiColor[k]);
    const std::string* captions[3] = {&texts.Min, &texts.Max, &texts.Mean};
    for (std::size_t n = 0; n < 3; ++n) {
        ClickLabel* label = labels_[k][n];
        label->setText(QString::fromStdString(*captions[n]));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
        label->adjustSize();
    }

    ShapeSwatch* outline = outlines_[k];
    outline->SetShape(shape == RoiShape::Square ? ShapeSwatch::Shape::Rectangle
                                                : ShapeSwatch::Shape::Ellipse);
    outline->SetPen(settings.RoiColor[k], OutlinePenWidth);

    const RoiLayout layout = LayoutRoi(x, y, size, record->Size, width, height, MaxLabel(i)->width(),
                                       MeanLabel(i)->width(), MaxLabel(i)->height());
    outline->setGeometry(layout.Outline.Left, layout.Outline.Top, layout.Outline.Width,
                         layout.Outline.Height);
    MinLabel(i)->move(layout.MinLabel.Left, layout.MinLabel.Top);
    MaxLabel(i)->move(layout.MaxLabel.Left, layout.MaxLabel.Top);
    MeanLabel(i)->move(layout.MeanLabel.Left, layout.MeanLabel.Top);
}

void RoiOverlay::ShowRoi(int i, bool shown, const ViewSettings& settings) {
    Outline(i)->setVisible(shown);
    MinLabel(i)->setVisible(shown && settings.ShowRoiMin);
    MaxLabel(i)->setVisible(shown && settings.ShowRoiMax);
    MeanLabel(i)->setVisible(shown && settings.ShowRoiMean);
}

void RoiOverlay::RefreshRois(const std::array<bool, 2>& shown, const ThkData* record,
                             const ViewSettings& settings) {
    for (int i = 0; i < 2; ++i) {
        const bool on = shown[static_cast<std::size_t>(i)];
        if (on) UpdateRoiDisplay(i, record, settings);
        ShowRoi(i, on, settings);
    }
}

bool RoiOverlay::CollectRoiPlacements(const std::array<bool, 2>& shown, const ThkData* record,
                                      const ViewSettings& settings, std::array<RoiPlacement, 2>& placements,
                                      const MessageSink& messages) const {
    return ::CollectRoiPlacements(shown, RoiPixelX, RoiPixelY, settings.RoiType, settings.RoiSize,
                                  settings.RoiFDigit, record ? record->Size : 0, image_->width(),
                                  image_->height(), placements, messages);
}

bool RoiOverlay::eventFilter(QObject* watched, QEvent* event) {
    // The second press of a quick pair arrives as a double click.
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return QObject::eventFilter(watched, event);
    // The whole bounding rectangle of an outline or label takes the press, so
    // it never reaches the map below.
    const auto* press = static_cast<QMouseEvent*>(event);
    if (const auto* outline = qobject_cast<ShapeSwatch*>(watched)) {
        Pressed(outline->Tag, press->modifiers());
        return true;
    }
    if (const auto* label = qobject_cast<ClickLabel*>(watched)) {
        Pressed(label->Tag, press->modifiers());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void RoiOverlay::Pressed(int roi, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier) emit removeRequested(roi);
}

int CopyRoiText(const std::array<RoiPlacement, 2>& placements, const ThkData& fill,
                const MessageSink& messages) {
    const std::string text = BuildRoiText(placements, "\t", fill, messages);
    if (text.empty()) return -1;
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    return 1;
}
