#include <QCheckBox>
#include <QLabel>

#include "colour/MapPicture.h"
#include "colour/ScaleLabels.h"
#include "colour/SitesOverlay.h"
#include "ui/Main.h"
#include "ui/Multigradation.h"
#include "ui/View_3d.h"
#include "ui/widgets/FitLabel.h"
#include "ui/widgets/ImageBox.h"

// The main window's picture: the map, the colour bar and the scale labels.

void TForm1::RedrawAll() {
    session_.RedrawAll();
}

MapStyle TForm1::CurrentMapStyle() const {
    return MapStyleOf(session_.Settings(), CommittedGradation());
}

void TForm1::ShowMap(const ThkData& record, const MapPlan& plan) {
    lastPlan_ = plan;
    if (plan.Draw == DrawKind::Contour) {
        DrawContourMap(record);
    } else {
        PaintMap(Img_Colormap->Picture(), record, DrawKind::Colormap, plan.Ramp, CurrentMapStyle());
        Img_Colormap->PictureChanged();
    }
    ShowSites(record, plan);
    // After a contour map this overwrites its label format: a full redraw
    // always ends with the scale format, then the ROIs, the pointer read-out
    // and an open 3D view follow the new data.
    if (plan.Full) {
        UpdateScaleLabels(record);
        RefreshRois();
        ShowPointerReadout();
        if (view3d_) view3d_->RecordChanged();
    }
    emit MapShown(record, plan, CurrentMapStyle());
}

void TForm1::ShowSites(const ThkData& record, const MapPlan& plan) {
    const bool sampled =
        plan.Draw == DrawKind::Colormap && (plan.Shown == DataKind::Raw || plan.Shown == DataKind::Grid);
    if (!sampled || !Chk_Sites->isChecked()) {
        Img_Colormap->SetOverlay(QImage());
        return;
    }
    QImage overlay(Img_Colormap->Picture().size(), QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    if (PaintSites(overlay, record, plan.Ramp, CurrentMapStyle()) == 0) overlay = QImage();
    Img_Colormap->SetOverlay(overlay);
}

void TForm1::DrawContourMap(const ThkData& record) {
    const std::array<std::string, 5> texts = ContourScaleLabels(record);
    for (std::size_t i = 0; i < 5; ++i)
        Lbl_Cont_Range[i]->SetFittedText(QString::fromStdString(texts[i]));
    PaintMap(Img_Colormap->Picture(), record, DrawKind::Contour, RampSetKind::Drawing, CurrentMapStyle());
    Img_Colormap->PictureChanged();
}

void TForm1::UpdateScaleLabels(const ThkData& record) {
    const ScaleLabelTexts texts = ScaleLabels(record);
    for (std::size_t i = 0; i < 5; ++i)
        Lbl_Cont_Range[i]->SetFittedText(QString::fromStdString(texts.Range[i]));
    Lbl_Mean->SetFittedText(QString::fromStdString(texts.Mean));
}

void TForm1::DrawColorBarPicture() {
    // The ramp set of the colour maps, so the bar matches them.
    DrawColorBar(Img_ColorBar->Picture(), Chk_Colormap->isChecked(), RampSetOf(RampSetKind::Startup),
                 CommittedGradation());
    Img_ColorBar->PictureChanged();
}

const GradationTable& TForm1::CommittedGradation() const {
    // Before the gradation dialog is attached (during construction) drawing
    // uses the start-up preset the dialog itself starts with.
    static const GradationTable preset = ColormapPreset();
    return gradationSet_ ? gradationSet_->CommittedTable() : preset;
}
