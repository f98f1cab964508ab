#include "ui/Main.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include "colour/ContourMap.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "report/QtWholeFile.h"
#include "session/ParameterFile.h"
#include "ui/AnalysisWindow.h"
#include "ui/DataTableModel.h"
#include "ui/Dialogs.h"
#include "ui/Input.h"
#include "ui/Makedata.h"
#include "ui/Multigradation.h"
#include "ui/View_3d.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

ParamInput& InputFor(std::array<ParamInput, 50>& inputs, ParamTag tag) {
    return inputs[static_cast<std::size_t>(tag)];
}

}  // namespace

TForm1::TForm1(const QString& settingsDir, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), session_(*this), dialogs_(dialogs) {
    AppDir = QDir(settingsDir).absolutePath();
    if (!AppDir.endsWith(QLatin1Char('/'))) AppDir += QLatin1Char('/');

    BuildControls();

    // Limits of the input pad for every parameter label.
    const QString zero = QStringLiteral("0");
    InputFor(ParamInputs, ParamTag::AverageWeight) = ParamInputFor(ParameterLimits::AverageWeight, zero);
    InputFor(ParamInputs, ParamTag::CalcPitch) = ParamInputFor(ParameterLimits::CalcPitch, zero);
    InputFor(ParamInputs, ParamTag::SearchRad) =
        ParamInputFor(ParameterLimits::SearchRad, QStringLiteral("80.0"));
    InputFor(ParamInputs, ParamTag::CalcIteration) = ParamInputFor(ParameterLimits::CalcIteration, zero);
    InputFor(ParamInputs, ParamTag::SplineOrder) = ParamInputFor(ParameterLimits::SplineOrder, zero);
    InputFor(ParamInputs, ParamTag::MinDataCount) = ParamInputFor(ParameterLimits::MinDataCount, zero);
    InputFor(ParamInputs, ParamTag::RoiSize) = ParamInputFor(ParameterLimits::RoiSize, zero);
    InputFor(ParamInputs, ParamTag::BorderCount) = ParamInputFor(ParameterLimits::BorderCount, zero);

    for (int i = 0; i < 3; ++i)
        SetRadioItemEnabled(i, false);
    setAcceptDrops(true);

    ConnectHandlers();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::AttachForms(TTenkey* tenkey, TDataMake* dataMake, TGradationSet* gradationSet, TView3D* view3d) {
    tenkey_ = tenkey;
    dataMake_ = dataMake;
    gradationSet_ = gradationSet;
    view3d_ = view3d;
}

void TForm1::FormCreate() {
    // The designed caption's suffix; the program's version is what --version prints.
    setWindowTitle(windowTitle() + QStringLiteral("Ver.0.02a"));
    designedCaption_ = windowTitle();
    ResetDataTable();
    Cmb_ROI_Type_1->setCurrentIndex(0);
    Cmb_ROI_Type_2->setCurrentIndex(0);
    Cmb_ROI_FDigit_1->setCurrentIndex(2);
    Cmb_ROI_FDigit_2->setCurrentIndex(2);
    Cmb_DrawType->setCurrentIndex(0);
    if (LoadParameterOnStart() != 1) startupFailed_ = true;
    LoadDisplayChoices();
    LoadRecentFiles();
    BuildMapMenu();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    // The gradation lives where the parameters live.
    if (gradationSet_) gradationSet_->LoadDefaultColorSetting(QFileInfo(settingsPath_).absolutePath());
    DrawColorBarPicture();
    QString path = commandLine_;
    path.remove(QLatin1Char('"'));
    int result = 0;
    if (!path.isEmpty()) result = OpenFileByPath(path);
    if (result != 1) RedrawAll();
}

void TForm1::ReadControls() {
    ReadSettings(session_.Settings());
}

void TForm1::ReadSettings(ViewSettings& s) {
    s.DataType = static_cast<DataKind>(Rdo_DataType->ItemIndex());
    s.DrawType = static_cast<DrawKind>(Cmb_DrawType->currentIndex());
    s.CalcPitch = Lbl_CalcPitch->text().toInt();
    s.SearchRad = static_cast<float>(LabelNumber(Lbl_SearchRad->text().toStdString()));
    s.AverageWeight = LabelNumber(Lbl_AverageWeight->text().toStdString());
    s.CalcIteration = 1;
    s.SplineOrder = Lbl_SplineOrder->text().toInt();
    s.MinDataCount = Lbl_MinDataCount->text().toInt();
    s.RadOptimize = Chk_RadOptimize->isChecked();
    s.AutoFill = Chk_AutoFill->isChecked();
    s.UseColormap = Chk_Colormap->isChecked();
    s.RawRange = Chk_RawRange->isChecked();
    s.MapMinColor = Shp_Color_Min->BrushColor();
    s.MapMaxColor = Shp_Color_Max->BrushColor();
    s.MapBackColor = Shp_Color_Back->BrushColor();
    for (std::size_t i = 0; i < 2; ++i) {
        s.RoiType[i] = static_cast<RoiShape>(Cmb_ROI_Type_1->currentIndex());
        s.RoiSize[i] = Lbl_ROI_Size_1->text().toInt();
        s.RoiFDigit[i] = Cmb_ROI_FDigit_1->currentIndex();
    }
    s.RoiColor[0] = Shp_ROI_Color_1->BrushColor();
    s.RoiColor[1] = Shp_ROI_Color_2->BrushColor();
    s.ShowRoiMin = Chk_ROI_Min->isChecked();
    s.ShowRoiMax = Chk_ROI_Max->isChecked();
    s.ShowRoiMean = Chk_ROI_Mean->isChecked();
    s.BorderCount = Lbl_BorderCount->text().toInt();
    s.CopyColormap = Chk_CopyColormap->isChecked();
}

void TForm1::ShowSelectedData(DataKind kind) {
    // The session raises the click itself when the selection changes.
    const QSignalBlocker quiet(Rdo_DataType);
    Rdo_DataType->SetItemIndex(IndexOf(kind));
}

void TForm1::ShowAvailability(const Availability& enabled) {
    for (int i = 0; i < 3; ++i)
        SetRadioItemEnabled(i, enabled.DataItems[static_cast<std::size_t>(i)]);
    Btn_Calc->setEnabled(enabled.Calc);
    Btn_Fill->setEnabled(enabled.Fill);
    Btn_Copy_Image->setEnabled(enabled.CopyImage);
    Btn_Copy_Data->setEnabled(enabled.CopyData);
    Btn_3D->setEnabled(enabled.View3D);
    Cmb_DrawType->setEnabled(enabled.DrawType);
    Btn_Copy_ROI->setEnabled(enabled.CopyRoi);
}

void TForm1::ShowSearchRadius(const std::string& text) {
    Lbl_SearchRad->setText(QString::fromStdString(text));
}

void TForm1::ShowDataTable(const ThkData* record) {
    if (record)
        FillDataTable(*record);
    else
        ResetDataTable();
}

void TForm1::ResetDataTable() {
    dataTable_->Reset();
}

void TForm1::FillDataTable(const ThkData& record) {
    dataTable_->List(record);
}

void TForm1::SetRadioItemEnabled(int index, bool enabled) {
    Rdo_DataType->SetItemEnabled(index, enabled);
}

void TForm1::ResetData() {
    session_.ResetData();
}

void TForm1::ShowMessageText(const std::string& text) {
    dialogs_.ShowMessage(text);
}

void TForm1::ShowBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TForm1::Btn_CalcClick() {
    session_.Calc();
}

void TForm1::Btn_FillClick() {
    session_.Fill();
}

void TForm1::Btn_3DClick() {
    if (view3d_) view3d_->ShowThkData(session_.Record(DataKind::Fill));
}

void TForm1::Rdo_DataTypeClick() {
    session_.DataTypeClick();
}

void TForm1::Chk_RadOptimizeClick() {
    const bool optimize = Chk_RadOptimize->isChecked();
    Lbl_SearchRad->setEnabled(!optimize);
    Lbl_MinDataCount->setEnabled(optimize);
}

void TForm1::Chk_ColormapClick() {
    if (!ParamLoading) {
        ReadControls();
        DrawColorBarPicture();
        RedrawAll();
    }
    Btn_ColorSetting->setEnabled(!Chk_Colormap->isChecked());
}

void TForm1::Chk_RawRangeClick() {
    if (!ParamLoading) RedrawAll();
}

void TForm1::Chk_CopyColormapClick() {
    if (!ParamLoading) session_.RedrawContour();
}

void TForm1::Chk_SitesClick() {
    SaveDisplayChoices();
    RedrawAll();
}

void TForm1::Cmb_DrawTypeChange() {
    if (!ParamLoading) session_.DrawTypeChange();
    const bool contour = static_cast<DrawKind>(Cmb_DrawType->currentIndex()) == DrawKind::Contour;
    Lbl_BorderCount->setEnabled(contour);
    Chk_CopyColormap->setEnabled(contour);
}

void TForm1::Btn_ColorSettingClick() {
    if (!gradationSet_ || !gradationSet_->Execute()) return;
    DrawColorBarPicture();
    RedrawAll();
}

void TForm1::Lbl_DataDoubleClick(ClickLabel* label) {
    const int tag = label->Tag;
    if (tag < 0 || tag >= static_cast<int>(ParamInputs.size()) || !tenkey_) return;
    ParamInput& input = ParamInputs[static_cast<std::size_t>(tag)];
    input.Text = label->text();
    if (!tenkey_->InputValue(input)) return;
    label->setText(tenkey_->EnteredText);
    if (static_cast<ParamTag>(tag) == ParamTag::RoiSize) {
        RefreshRois();
    } else if (static_cast<ParamTag>(tag) == ParamTag::BorderCount) {
        // The contour map reads the new count from the label with the other controls.
        session_.RedrawContour();
    }
}

void TForm1::Shp_ColorMouseDown(ShapeSwatch* shape) {
    const auto chosen = dialogs_.ChooseColor(this, shape->BrushColor());
    if (!chosen) return;
    shape->SetBrushColor(*chosen);
    const auto tag = static_cast<SwatchTag>(shape->Tag);
    if (tag == SwatchTag::MapMin || tag == SwatchTag::MapMax || tag == SwatchTag::MapBack)
        RedrawAll();
    else if (tag == SwatchTag::Roi1 || tag == SwatchTag::Roi2)
        RefreshRois();
}

void TForm1::Lbl_DataMakeDblClick() {
    if (!dataMake_) return;
    if (session_.OpenGenerated([this](ThkData* records, const MessageSink& messages) {
            return dataMake_->RunDataMake(records, messages);
        }))
        FileShown(QString());
}

void TForm1::Btn_AnalysisClick() {
    if (!analysis_) {
        analysis_ = new AnalysisWindow(session_, QFileInfo(SettingsPath()).absolutePath(), dialogs_, this);
        connect(this, &TForm1::MapShown, analysis_, &AnalysisWindow::MapShown);
        analysis_->SetSourceName(loadedFile_);
        // The central redraw changes nothing here; it hands the new window
        // the record shown and its colours.
        session_.RedrawAll();
    }
    analysis_->show();
    analysis_->raise();
    analysis_->activateWindow();
}

void TForm1::Btn_ExpandClick() {
    Expanded = !Expanded;
    setFixedSize(ClientWidth, Expanded ? TallClientHeight : ShortClientHeight);
    Btn_Expand->setText(Expanded ? QStringLiteral("\u25B2") : QStringLiteral("\u25BC"));
}

void TForm1::Btn_ExitClick() {
    close();
}

void TForm1::Btn_Copy_ImageClick() {
    const QImage picture = grab(QRect(4, 4, 408, 310)).toImage();
    QGuiApplication::clipboard()->setImage(picture);
    dialogs_.ShowMessage("Copied graphic image to Clipboard.");
}

void TForm1::Btn_Copy_DataClick() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(session_.CopyDataText()));
    dialogs_.ShowMessage("Copy data to clipboard.");
}

namespace {

// True when a file can be created in folder (whatever the permission bits
// say to root, a read-only file system refuses).
bool CanWriteIn(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

}  // namespace

int TForm1::LoadParameterOnStart() {
    ParamLoading = true;
    QString folder = AppDir;
    if (!CanWriteIn(folder)) {
        const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        if (!user.isEmpty() && QDir().mkpath(user)) folder = QDir(user).absolutePath() + QLatin1Char('/');
    }
    settingsPath_ = folder + QStringLiteral("setting.dat");
    if (QFileInfo::exists(settingsPath_) && LoadParameter(settingsPath_) == 1) {
        ApplyParameters();
        ParamLoading = false;
        return 1;
    }
    // Missing or unreadable: written anew with what the controls show.
    if (SaveParameter(settingsPath_) != 1) return -1;
    ParamLoading = false;
    return 1;
}

int TForm1::LoadParameter(const QString& path) {
    ReadControls();
    return LoadParameterFile(QFile::encodeName(path).toStdString(), session_.Settings(), dialogs_.Messages());
}

int TForm1::SaveParameter(const QString& path) {
    ReadControls();
    return SaveParameterFile(QFile::encodeName(path).toStdString(), session_.Settings(), dialogs_.Messages());
}

void TForm1::ApplyParameters() {
    const ViewSettings& s = session_.Settings();
    Shp_Color_Min->SetBrushColor(s.MapMinColor);
    Shp_Color_Max->SetBrushColor(s.MapMaxColor);
    Shp_Color_Back->SetBrushColor(s.MapBackColor);
    Chk_AutoFill->setChecked(s.AutoFill);
    Chk_Colormap->setChecked(s.UseColormap);
    Chk_RawRange->setChecked(s.RawRange);
    Lbl_MinDataCount->setText(QString::number(s.MinDataCount));
    // Each box set from code runs its handler (toggled) when its state
    // changes, as a click would; ParamLoading keeps the handlers from drawing.
    Chk_RadOptimize->setChecked(s.RadOptimize);
    Lbl_CalcPitch->setText(QString::number(s.CalcPitch));
    Lbl_SearchRad->setText(QString::fromStdString(FormatFixed(s.SearchRad, 4, 1)));
    Lbl_AverageWeight->setText(QString::fromStdString(FormatFixed(s.AverageWeight, 5, 2)));
    Lbl_CalcIteration->setText(QString::number(s.CalcIteration));
    Lbl_SplineOrder->setText(QString::number(s.SplineOrder));
    Cmb_ROI_Type_1->setCurrentIndex(static_cast<int>(s.RoiType[0]));
    Lbl_ROI_Size_1->setText(QString::number(s.RoiSize[0]));
    Cmb_ROI_FDigit_1->setCurrentIndex(s.RoiFDigit[0]);
    Shp_ROI_Color_1->SetBrushColor(s.RoiColor[0]);
    Shp_ROI_Color_2->SetBrushColor(s.RoiColor[1]);
    Chk_ROI_Min->setChecked(s.ShowRoiMin);
    Chk_ROI_Max->setChecked(s.ShowRoiMax);
    Chk_ROI_Mean->setChecked(s.ShowRoiMean);
    Lbl_BorderCount->setText(QString::number(s.BorderCount));
    Chk_CopyColormap->setChecked(s.CopyColormap);
}

namespace {

const QByteArray SitesKey = QByteArrayLiteral("Sites:");

}  // namespace

QString TForm1::DisplayChoicesPath() const {
    return QFileInfo(settingsPath_).absoluteDir().filePath(QStringLiteral("display.dat"));
}

void TForm1::LoadDisplayChoices() {
    // A missing or unreadable file (or no file at all: a FIFO, a device) keeps
    // the designed choice (Sites on).
    QByteArray text;
    if (!ReadFileWhole(DisplayChoicesPath(), text)) return;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (!line.startsWith(SitesKey)) continue;
        bool ok = false;
        const int value = line.mid(SitesKey.size()).trimmed().toInt(&ok);
        if (!ok) continue;
        const QSignalBlocker quiet(Chk_Sites);
        Chk_Sites->setChecked(value != 0);
    }
}

void TForm1::SaveDisplayChoices() const {
    // Written whole or not at all; a choice that cannot be kept is no error
    // worth a message box.
    WriteFileWhole(DisplayChoicesPath(), SitesKey + ' ' + (Chk_Sites->isChecked() ? '1' : '0') + '\n');
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (SaveParameter(settingsPath_) != 1) dialogs_.ShowMessage("Parameter is not saved.");
    event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths << url.toLocalFile();
    event->acceptProposedAction();
    // Loading (with its messages and an Auto Fill) runs from the event loop,
    // so the program the file was dragged from is released at once.
    QMetaObject::invokeMethod(
        this, [this, paths] { DropFiles(paths); }, Qt::QueuedConnection);
}

void TForm1::DropFiles(const QStringList& paths) {
    if (paths.size() != 1) {
        dialogs_.ShowMessage("This application is able to load only single file.");
        return;
    }
    OpenFileByPath(paths.first());
}
