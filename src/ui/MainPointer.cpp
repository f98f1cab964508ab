#include <QCursor>
#include <QLabel>
#include <QMenu>

#include "roi/RoiDisplay.h"
#include "ui/Dialogs.h"
#include "ui/Main.h"
#include "ui/RoiOverlay.h"
#include "ui/widgets/FitLabel.h"
#include "ui/widgets/ImageBox.h"

// The main window's map under the pointer: the regions of interest that
// clicks place, measured on the shown record, and the read-out of the cell
// under the pointer.

const ThkData* TForm1::CurrentRecord() const {
    const DataKind kind = session_.Settings().DataType;
    return kind == DataKind::None ? nullptr : &session_.Record(kind);
}

void TForm1::SetRoiShown(int i, bool shown) {
    session_.SetRoiShown(i, shown);
    Roi->ShowRoi(i, shown, session_.Settings());
}

void TForm1::RefreshRois() {
    ReadControls();
    Roi->RefreshRois(RoisShown(), CurrentRecord(), session_.Settings());
}

void TForm1::Img_ColormapMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y) {
    ReadControls();
    const ThkData* record = CurrentRecord();
    if (!record || !record->Valid) return;
    const int i = RoiOverlay::PlacedRoi(button, modifiers);
    // A plain right click opens the map's menu; Ctrl-clicks place the ROIs.
    if (i < 0 && button == Qt::RightButton && !(modifiers & Qt::ControlModifier))
        mapMenu_->popup(QCursor::pos());  // at the pointer, so the button's release picks nothing
    if (i < 0) return;
    Roi->PlaceRoi(i, x, y);
    SetRoiShown(i, true);
    RefreshRois();
}

void TForm1::Img_ColormapMouseMove(Qt::KeyboardModifiers, int x, int y) {
    ReadControls();
    pointer_ = QPoint(x, y);
    ShowPointerReadout();
}

void TForm1::ShowPointerReadout() {
    const ThkData* record = CurrentRecord();
    if (!record || !pointer_) return;
    const CursorTexts texts =
        CursorReadout(*record, Img_Colormap->width(), Img_Colormap->height(), pointer_->x(), pointer_->y());
    Lbl_Cursor_X->setText(QString::fromStdString(texts.X));
    Lbl_Cursor_Y->setText(QString::fromStdString(texts.Y));
    Lbl_Cursor_Data->SetFittedText(QString::fromStdString(texts.Data));
}

void TForm1::Btn_Copy_ROIClick() {
    ReadControls();
    std::array<RoiPlacement, 2> placements;
    if (!Roi->CollectRoiPlacements(RoisShown(), CurrentRecord(), session_.Settings(), placements,
                                   dialogs_.Messages()))
        return;
    if (CopyRoiText(placements, session_.Record(DataKind::Fill), dialogs_.Messages()) == 1)
        dialogs_.ShowMessage("Copied ROI Data to Clipboard.");
}

void TForm1::Cmb_ROI_TypeChange() {
    if (!ParamLoading) RefreshRois();
}

void TForm1::Cmb_ROI_FDigitChange() {
    if (!ParamLoading) RefreshRois();
}

void TForm1::Chk_ROI_ShowDataClick() {
    if (!ParamLoading) RefreshRois();
}
