#include "ui/RoiOverlay.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

#include "roi/RoiStats.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

constexpr int OutlinePenWidth = 2;

QColor ToQColor(Color c) {
    return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

}  // namespace

RoiOverlay::RoiOverlay(QWidget* panel, const QWidget* image) : QObject(panel), image_(image) {
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
            auto* label = new ClickLabel(captions[k], panel);
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
    if (!record || !record->Valid) return;
    const auto k = static_cast<std::size_t>(i);
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
                                      const ViewSettings& settings,
                                      std::array<RoiPlacement, 2>& placements) const {
    return ::CollectRoiPlacements(shown, RoiPixelX, RoiPixelY, settings.RoiType, settings.RoiSize,
                                  settings.RoiFDigit, record ? record->Size : 0, image_->width(),
                                  image_->height(), placements);
}

bool RoiOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress) return QObject::eventFilter(watched, event);
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

int CopyRoiText(const std::array<RoiPlacement, 2>& placements, const ThkData& fill) {
    const std::string text = BuildRoiText(placements, "\t", fill);
    if (text.empty()) return -1;
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    return 1;
}
