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
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QUrl>

#include "calc/Fill.h"
#include "calc/GridCalc.h"
#include "colour/ColorScale.h"
#include "colour/ContourMap.h"
#include "colour/ScaleLabels.h"
#include "core/Message.h"
#include "core/NumberText.h"
#include "data/DataTableText.h"
#include "data/ThkReader.h"
#include "ui/DataTableModel.h"
#include "ui/Dialogs.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/ImageBox.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

const QString kDesignedCaption = QStringLiteral("Morvaplot ");
const QString kVersion = QStringLiteral("Ver.0.02a");

// Shows a busy cursor while a long computation blocks the window.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QLabel* MakeLabel(const QString& text, QWidget* parent, int x, int y, int w, int h,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    label->setAlignment(align);
    return label;
}

QPushButton* MakeButton(const QString& text, QWidget* parent, int x, int y, int w, int h = 23) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(x, y, w, h);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* MakeCheck(const QString& text, QWidget* parent, int x, int y, int w, bool checked) {
    auto* check = new QCheckBox(text, parent);
    check->setGeometry(x, y, w, 17);
    check->setChecked(checked);
    return check;
}

// A blue bold parameter value that opens the input pad on double-click.
ClickLabel* MakeParamLabel(const QString& text, int tag, QWidget* parent, int x, int y, int w) {
    auto* label = new ClickLabel(text, parent);
    label->Tag = tag;
    label->setGeometry(x, y, w, 16);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("QLabel { color: #0000ff; } QLabel:disabled { color: #8080a0; }"));
    return label;
}

ShapeSwatch* MakeSwatch(QWidget* parent, int tag, Color color, int x, int y, int w, int h) {
    auto* shape = new ShapeSwatch(parent);
    shape->Tag = tag;
    shape->SetBrushColor(color);
    shape->setGeometry(x, y, w, h);
    return shape;
}

}  // namespace

TForm1::TForm1(const QString& settingsDir, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    AppDir = QDir(settingsDir).absolutePath();
    if (!AppDir.endsWith(QLatin1Char('/'))) AppDir += QLatin1Char('/');

    BuildControls();

    // Records and parameter specifications.
    records_ = std::make_unique<ThkData[]>(3);
    ThkDataSet = records_.get();
    ParamSpecs[0] = ParamSpec{1, 0.01, 99.99, 5, 2, QStringLiteral("0")};
    ParamSpecs[1] = ParamSpec{0, 2.0, 100.0, 3, 0, QStringLiteral("0")};
    ParamSpecs[2] = ParamSpec{1, 2.0, 200.0, 5, 1, QStringLiteral("80.0")};
    ParamSpecs[3] = ParamSpec{0, 1.0, 99.0, 2, 0, QStringLiteral("0")};
    ParamSpecs[4] = ParamSpec{0, 1.0, 10.0, 2, 0, QStringLiteral("0")};
    ParamSpecs[5] = ParamSpec{0, 1.0, 10.0, 2, 0, QStringLiteral("0")};
    ParamSpecs[10] = ParamSpec{0, 1.0, 100.0, 3, 0, QStringLiteral("0")};
    ParamSpecs[20] = ParamSpec{0, 2.0, 50.0, 2, 0, QStringLiteral("0")};
    ClearThkData(ThkDataSet, 3);

    Ramp = DrawingRampSet;
    SetRampParameters(Ramp);
    Condition = DisplayCondition{false, 0, 0.0, 1.0};
    MapMinColor = 0x000000;
    MapMaxColor = 0xFFFFFF;
    MapBackColor = 0xFF0000;
    UseColormap = true;
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

void TForm1::BuildControls() {
    setWindowTitle(kDesignedCaption);
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    setMinimumSize(ClientWidth, ShortClientHeight);
    setMaximumSize(ClientWidth, TallClientHeight);
    resize(ClientWidth, ShortClientHeight);

    // Map panel with the 301 x 301 map at (2, 2).
    Pnl_CM = new QFrame(this);
    Pnl_CM->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Pnl_CM->setLineWidth(1);
    Pnl_CM->setGeometry(4, 4, 305, 305);
    Img_Colormap = new ImageBox(301, 301, Pnl_CM);
    Img_Colormap->move(2, 2);
    Img_Colormap->Picture().fill(Qt::black);

    // Colour bar in a raised frame, labels from Max (top) to Min (bottom).
    Frm_ColorBar = new QFrame(this);
    Frm_ColorBar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Frm_ColorBar->setGeometry(316, 20, 13, 269);
    Img_ColorBar = new ImageBox(9, 265, Frm_ColorBar);
    Img_ColorBar->move(2, 2);
    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < 5; ++i) {
        const int y = 22 + 265 - 8 - static_cast<int>(i * 265 / 4.0);
        Lbl_Cont_Range[static_cast<size_t>(i)] =
            MakeLabel(QStringLiteral("----.---"), this, 331, y, 80, 14, Qt::AlignRight | Qt::AlignVCenter);
        Lbl_Cont_Range[static_cast<size_t>(i)]->setFont(bold);
    }
    auto* maxCaption = MakeLabel(QStringLiteral("Max:"), this, 316, 4, 30, 14);
    auto* minCaption = MakeLabel(QStringLiteral("Min:"), this, 316, 4, 30, 14);
    auto* midCaption = MakeLabel(QStringLiteral("Middle:"), this, 316, 4, 40, 14);
    Lbl_Max = MakeLabel(QString(), this, 346, 4, 60, 14);
    Lbl_Min = MakeLabel(QString(), this, 346, 4, 60, 14);
    Lbl_Mid = MakeLabel(QString(), this, 346, 4, 60, 14);
    for (QLabel* hidden : {maxCaption, minCaption, midCaption, Lbl_Max, Lbl_Min, Lbl_Mid})
        hidden->hide();
    Lbl_Mean_Lbl = MakeLabel(QStringLiteral("Mean:"), this, 313, 296, 36, 16);
    Lbl_Mean =
        MakeLabel(QStringLiteral("----.---"), this, 347, 296, 64, 16, Qt::AlignRight | Qt::AlignVCenter);
    Lbl_Mean->setFont(bold);

    // The data grid lies to the right of the fixed window width: it holds the
    // table without being seen.
    dataTable_ = new DataTableModel(this);
    Stg_Data = new QTableView(this);
    Stg_Data->setModel(dataTable_);
    Stg_Data->setGeometry(ClientWidth + 8, 4, 200, 300);
    Stg_Data->horizontalHeader()->hide();
    Stg_Data->verticalHeader()->hide();
    Stg_Data->setColumnWidth(0, 64);
    Stg_Data->setColumnWidth(1, 64);
    Stg_Data->setColumnWidth(2, 61);
    Stg_Data->verticalHeader()->setDefaultSectionSize(16);

    Rdo_DataType =
        new RadioGroup(QStringLiteral("Data Type"),
                       {QStringLiteral("Raw"), QStringLiteral("Grid"), QStringLiteral("Fill")}, 3, this);
    Rdo_DataType->setGeometry(4, 315, 196, 40);

    Grp_Cursor = new QGroupBox(QStringLiteral("Cursor Data"), this);
    Grp_Cursor->setGeometry(204, 315, 210, 40);
    MakeLabel(QStringLiteral("X:"), Grp_Cursor, 6, 18, 14, 16);
    Lbl_Cursor_X = MakeLabel(QStringLiteral("---"), Grp_Cursor, 20, 18, 30, 16);
    MakeLabel(QStringLiteral("Y:"), Grp_Cursor, 54, 18, 14, 16);
    Lbl_Cursor_Y = MakeLabel(QStringLiteral("---"), Grp_Cursor, 68, 18, 30, 16);
    MakeLabel(QStringLiteral("Data:"), Grp_Cursor, 104, 18, 32, 16);
    Lbl_Cursor_Data = MakeLabel(QStringLiteral("---.---"), Grp_Cursor, 136, 18, 68, 16);

    // Bottom button panel.
    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 357, ClientWidth, 54);
    Btn_Load = MakeButton(QStringLiteral("Load"), Panel1, 4, 3, 58);
    Btn_Paste = MakeButton(QStringLiteral("Paste"), Panel1, 64, 3, 58);
    Btn_Calc = MakeButton(QStringLiteral("Calc"), Panel1, 124, 3, 58);
    Btn_Fill = MakeButton(QStringLiteral("Fill"), Panel1, 184, 3, 58);
    Chk_AutoFill = MakeCheck(QStringLiteral("Auto Fill"), Panel1, 248, 6, 76, false);
    Cmb_DrawType = new QComboBox(Panel1);
    Cmb_DrawType->addItems({QStringLiteral("Colormap"), QStringLiteral("Countour")});
    Cmb_DrawType->setGeometry(328, 3, 86, 23);
    Btn_3D = MakeButton(QStringLiteral("3D"), Panel1, 4, 28, 40);
    Btn_Copy_Image = MakeButton(QStringLiteral("Copy Image"), Panel1, 46, 28, 78);
    Btn_Copy_Data = MakeButton(QStringLiteral("Copy Data"), Panel1, 126, 28, 74);
    Btn_Copy_ROI = MakeButton(QStringLiteral("Copy ROI"), Panel1, 202, 28, 70);
    Lbl_DataMake = new ClickLabel(QString(), Panel1);
    Lbl_DataMake->setGeometry(274, 28, 54, 23);
    Btn_Expand = MakeButton(QStringLiteral("\u25BC"), Panel1, 330, 28, 36);
    Btn_Exit = MakeButton(QStringLiteral("Exit"), Panel1, 368, 28, 46);
    for (QPushButton* b : {Btn_Calc, Btn_Fill, Btn_3D, Btn_Copy_Image, Btn_Copy_Data, Btn_Copy_ROI})
        b->setEnabled(false);
    Cmb_DrawType->setEnabled(false);

    // Groups below the panel, seen in the tall state.
    Grp_Calc = new QGroupBox(QStringLiteral("Calculation Parameter"), this);
    Grp_Calc->setGeometry(4, 414, 150, 132);
    const char* captions[] = {
        "Avr Weight:", "Calc. Pitch:", "Search Rad.:", "Spline Order:", "Min Data Count:"};
    for (int i = 0; i < 5; ++i)
        MakeLabel(QString::fromLatin1(captions[i]), Grp_Calc, 6, 18 + 18 * i, 100, 16);
    Lbl_AverageWeight = MakeParamLabel(QStringLiteral("3.00"), 0, Grp_Calc, 106, 18, 38);
    Lbl_CalcPitch = MakeParamLabel(QStringLiteral("20"), 1, Grp_Calc, 106, 36, 38);
    Lbl_SearchRad = MakeParamLabel(QStringLiteral("80.0"), 2, Grp_Calc, 106, 54, 38);
    Lbl_SplineOrder = MakeParamLabel(QStringLiteral("3"), 4, Grp_Calc, 106, 72, 38);
    Lbl_MinDataCount = MakeParamLabel(QStringLiteral("1"), 5, Grp_Calc, 106, 90, 38);
    Lbl_CalcIteration = MakeParamLabel(QStringLiteral("1"), 3, Grp_Calc, 106, 108, 38);
    Lbl_CalcIteration->hide();
    Lbl_SearchRad->setEnabled(false);
    Chk_RadOptimize = MakeCheck(QStringLiteral("Rad Optimize"), Grp_Calc, 6, 110, 120, true);

    Grp_Color = new QGroupBox(QStringLiteral("Color Setting"), this);
    Grp_Color->setGeometry(158, 414, 128, 70);
    Shp_Color_Back = MakeSwatch(Grp_Color, 2, 0x000000, 6, 18, 16, 16);
    MakeLabel(QStringLiteral("Back"), Grp_Color, 26, 18, 32, 16);
    Shp_Color_Min = MakeSwatch(Grp_Color, 0, 0x000000, 6, 40, 16, 16);
    Shp_Color_Max = MakeSwatch(Grp_Color, 1, 0xFFFFFF, 6, 40, 16, 16);
    Shp_Color_Min->hide();
    Shp_Color_Max->hide();
    Btn_ColorSetting = MakeButton(QStringLiteral("Setting"), Grp_Color, 64, 16, 58, 20);
    Btn_ColorSetting->setEnabled(false);
    Chk_Colormap = MakeCheck(QStringLiteral("Colormap"), Grp_Color, 6, 36, 116, true);
    Chk_RawRange = MakeCheck(QStringLiteral("Raw Range"), Grp_Color, 6, 52, 116, true);

    Grp_Contour = new QGroupBox(QStringLiteral("Contour Parameter"), this);
    Grp_Contour->setGeometry(158, 486, 128, 60);
    MakeLabel(QStringLiteral("Border Count:"), Grp_Contour, 6, 18, 86, 16);
    Lbl_BorderCount = MakeParamLabel(QStringLiteral("5"), 20, Grp_Contour, 92, 18, 28);
    Chk_CopyColormap = MakeCheck(QStringLiteral("Copy Colormap"), Grp_Contour, 6, 38, 116, false);
    Lbl_BorderCount->setEnabled(false);
    Chk_CopyColormap->setEnabled(false);

    Grp_Roi = new QGroupBox(QStringLiteral("ROI Setting"), this);
    Grp_Roi->setGeometry(290, 414, 124, 132);
    const QStringList roiTypes{QStringLiteral("\u25CB"), QStringLiteral("\u25A1")};
    const QStringList digits{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                             QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    Cmb_ROI_Type_1 = new QComboBox(Grp_Roi);
    Cmb_ROI_Type_1->addItems(roiTypes);
    Cmb_ROI_Type_1->setGeometry(6, 16, 50, 22);
    Cmb_ROI_FDigit_1 = new QComboBox(Grp_Roi);
    Cmb_ROI_FDigit_1->addItems(digits);
    Cmb_ROI_FDigit_1->setGeometry(62, 16, 50, 22);
    MakeLabel(QStringLiteral("Size:"), Grp_Roi, 6, 42, 34, 16);
    Lbl_ROI_Size_1 = MakeParamLabel(QStringLiteral("10"), 10, Grp_Roi, 40, 42, 30);
    Cmb_ROI_Type_2 = new QComboBox(Grp_Roi);
    Cmb_ROI_Type_2->addItems(roiTypes);
    Cmb_ROI_FDigit_2 = new QComboBox(Grp_Roi);
    Cmb_ROI_FDigit_2->addItems(digits);
    Lbl_ROI_Size_2 = MakeParamLabel(QStringLiteral("30"), 10, Grp_Roi, 40, 42, 30);
    for (QWidget* hidden : std::initializer_list<QWidget*>{Cmb_ROI_Type_2, Cmb_ROI_FDigit_2, Lbl_ROI_Size_2})
        hidden->hide();
    Shp_ROI_Color_1 = MakeSwatch(Grp_Roi, 30, 0x0000FF, 76, 42, 16, 16);
    Shp_ROI_Color_2 = MakeSwatch(Grp_Roi, 31, 0xFF0000, 96, 42, 16, 16);
    Chk_ROI_Min = MakeCheck(QStringLiteral("Min"), Grp_Roi, 6, 64, 100, false);
    Chk_ROI_Max = MakeCheck(QStringLiteral("Max"), Grp_Roi, 6, 82, 100, false);
    Chk_ROI_Mean = MakeCheck(QStringLiteral("Mean"), Grp_Roi, 6, 100, 100, true);

    // Clipboard conversion of pasted X/Y/Z text is not built yet; the button
    // stays unavailable rather than clearing loaded data for nothing.
    Btn_Paste->setEnabled(false);
    Btn_Paste->setToolTip(QStringLiteral("Pasting X/Y/Z text is not available in this version."));
}

void TForm1::ConnectHandlers() {
    connect(Btn_Load, &QPushButton::clicked, this, &TForm1::Btn_LoadClick);
    connect(Btn_Paste, &QPushButton::clicked, this, &TForm1::Btn_PasteClick);
    connect(Btn_Calc, &QPushButton::clicked, this, &TForm1::Btn_CalcClick);
    connect(Btn_Fill, &QPushButton::clicked, this, &TForm1::Btn_FillClick);
    connect(Btn_3D, &QPushButton::clicked, this, &TForm1::Btn_3DClick);
    connect(Btn_Expand, &QPushButton::clicked, this, &TForm1::Btn_ExpandClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TForm1::Btn_ExitClick);
    connect(Btn_Copy_Image, &QPushButton::clicked, this, &TForm1::Btn_Copy_ImageClick);
    connect(Btn_Copy_Data, &QPushButton::clicked, this, &TForm1::Btn_Copy_DataClick);
    connect(Btn_Copy_ROI, &QPushButton::clicked, this, &TForm1::Btn_Copy_ROIClick);
    connect(Btn_ColorSetting, &QPushButton::clicked, this, &TForm1::Btn_ColorSettingClick);
    connect(Rdo_DataType, &RadioGroup::itemClicked, this, &TForm1::Rdo_DataTypeClick);
    connect(Chk_RadOptimize, &QCheckBox::clicked, this, &TForm1::Chk_RadOptimizeClick);
    connect(Chk_Colormap, &QCheckBox::clicked, this, &TForm1::Chk_ColormapClick);
    connect(Chk_RawRange, &QCheckBox::clicked, this, &TForm1::Chk_RawRangeClick);
    connect(Chk_CopyColormap, &QCheckBox::clicked, this, &TForm1::Chk_CopyColormapClick);
    connect(Cmb_DrawType, &QComboBox::activated, this, &TForm1::Cmb_DrawTypeChange);
    for (ClickLabel* label : {Lbl_AverageWeight, Lbl_CalcPitch, Lbl_SearchRad, Lbl_CalcIteration,
                              Lbl_SplineOrder, Lbl_MinDataCount, Lbl_ROI_Size_1, Lbl_BorderCount})
        connect(label, &ClickLabel::doubleClicked, this, &TForm1::Lbl_DataDoubleClick);
    for (ShapeSwatch* shape :
         {Shp_Color_Back, Shp_Color_Min, Shp_Color_Max, Shp_ROI_Color_1, Shp_ROI_Color_2})
        connect(shape, &ShapeSwatch::mousePressed, this, [this](ShapeSwatch* s) { Shp_ColorMouseDown(s); });
    connect(Img_Colormap, &ImageBox::mouseDown, this, &TForm1::Img_ColormapMouseDown);
    connect(Img_Colormap, &ImageBox::mouseMove, this, &TForm1::Img_ColormapMouseMove);
    connect(Img_Colormap, &ImageBox::mouseUp, this, &TForm1::Img_ColormapMouseUp);
    connect(Img_ColorBar, &ImageBox::doubleClicked, this, &TForm1::Img_ColorBarDblClick);
    connect(Lbl_DataMake, &ClickLabel::doubleClicked, this, [this] { Lbl_DataMakeDblClick(); });
}

void TForm1::FormCreate() {
    setWindowTitle(windowTitle() + kVersion);
    ResetDataTable();
    Cmb_ROI_Type_1->setCurrentIndex(0);
    Cmb_ROI_Type_2->setCurrentIndex(0);
    Cmb_ROI_FDigit_1->setCurrentIndex(2);
    Cmb_ROI_FDigit_2->setCurrentIndex(2);
    Cmb_DrawType->setCurrentIndex(0);
    if (LoadParameterOnStart() != 1) startupFailed_ = true;
    InitColorScale(Lbl_BorderCount->text().toInt());
    SetContourColors(MapBackColor, MapMinColor, MapMaxColor, 0xFFFF);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    if (gradationSet_) gradationSet_->LoadDefaultColorSetting();
    DrawColorBar(Img_ColorBar->Picture(), Chk_Colormap->isChecked(), CommittedGradation());
    Img_ColorBar->PictureChanged();

    QString path = commandLine_;
    path.remove(QLatin1Char('"'));
    int result = 0;
    if (!path.isEmpty()) result = OpenFileByPath(path);
    if (result != 1) RedrawAll();
}

void TForm1::ReadControls() {
    DataType = Rdo_DataType->ItemIndex();
    DrawType = Cmb_DrawType->currentIndex();
    CalcPitch = Lbl_CalcPitch->text().toInt();
    SearchRad = static_cast<float>(Lbl_SearchRad->text().toDouble());
    AverageWeight = Lbl_AverageWeight->text().toDouble();
    CalcIteration = 1;
    SplineOrder = Lbl_SplineOrder->text().toInt();
    MinDataCount = Lbl_MinDataCount->text().toInt();
    RadOptimize = Chk_RadOptimize->isChecked();
    AutoFill = Chk_AutoFill->isChecked();
    UseColormap = Chk_Colormap->isChecked();
    RawRange = Chk_RawRange->isChecked();
    MapMinColor = Shp_Color_Min->BrushColor();
    MapMaxColor = Shp_Color_Max->BrushColor();
    MapBackColor = Shp_Color_Back->BrushColor();
    for (size_t i = 0; i < 2; ++i) {
        RoiType[i] = Cmb_ROI_Type_1->currentIndex();
        RoiSize[i] = Lbl_ROI_Size_1->text().toInt();
        RoiFDigit[i] = Cmb_ROI_FDigit_1->currentIndex();
    }
    RoiColor[0] = Shp_ROI_Color_1->BrushColor();
    RoiColor[1] = Shp_ROI_Color_2->BrushColor();
    ShowRoiMin = Chk_ROI_Min->isChecked();
    ShowRoiMax = Chk_ROI_Max->isChecked();
    ShowRoiMean = Chk_ROI_Mean->isChecked();
    ContourMode = DrawType == 1;
    BorderCount = Lbl_BorderCount->text().toInt();
    CopyColormap = Chk_CopyColormap->isChecked();
}

void TForm1::RedrawAll() {
    ReadControls();
    const int t = DataType < 0 ? 0 : DataType;
    ThkData& rec = ThkDataSet[t];
    if (RawRange && t > 0) {
        rec.Min = ThkDataSet[0].Min;
        rec.Max = ThkDataSet[0].Max;
    } else {
        RecalcStatistics(rec);
    }
    if (DrawType == 1 && t == 2) {
        DrawContourMap(rec);
    } else {
        const GradationTable& table = CommittedGradation();
        DrawColorMap(Img_Colormap->Picture(), rec, UseColormap, Condition, MapBackColor, table.Count - 1,
                     table.Colors.data());
        Img_Colormap->PictureChanged();
    }
    UpdateScaleLabels(rec);
    RefreshRois();
}

void TForm1::UpdateScaleLabels(const ThkData& record) {
    const ScaleLabelTexts texts = ScaleLabels(record);
    for (size_t i = 0; i < 5; ++i)
        Lbl_Cont_Range[i]->setText(QString::fromStdString(texts.Range[i]));
    Lbl_Mean->setText(QString::fromStdString(texts.Mean));
}

void TForm1::DrawContourMap(ThkData& record) {
    ReadControls();
    const std::array<std::string, 5> texts = ContourScaleLabels(record);
    for (size_t i = 0; i < 5; ++i)
        Lbl_Cont_Range[i]->setText(QString::fromStdString(texts[i]));
    const GradationTable& table = CommittedGradation();
    PaintContourMap(Img_Colormap->Picture(), record, CopyColormap, UseColormap, MapMinColor, MapMaxColor,
                    MapBackColor, Condition, table);
    Img_Colormap->PictureChanged();
}

void TForm1::RefreshRois() {
    // The ROI frames and their statistics are laid over the map by the ROI
    // measurement, which is not built yet; no ROI can be placed.
}

void TForm1::ResetDataTable() {
    dataTable_->SetHeader();
    dataTable_->ClearBody();
}

void TForm1::FillDataTable(const ThkData& record) {
    dataTable_->SetRowCount(record.Count + 1);
    int row = 1;
    const int size = std::min(record.Size, ThkMaxSize);
    for (int x = 0; x <= size; ++x) {
        for (int y = 0; y <= size; ++y) {
            if (HasData(record.Value[x][y])) dataTable_->SetRow(row++, x, y, record.Value[x][y]);
        }
    }
}

const GradationTable& TForm1::CommittedGradation() const {
    // Before the gradation dialog is attached (during construction) drawing
    // uses the start-up preset the dialog itself starts with.
    static const GradationTable preset = ColormapPreset();
    return gradationSet_ ? gradationSet_->CommittedTable() : preset;
}

void TForm1::SetRadioItemEnabled(int index, bool enabled) {
    Rdo_DataType->SetItemEnabled(index, enabled);
}

void TForm1::SetSearchRadiusText(float radius) {
    Lbl_SearchRad->setText(QString::fromStdString(FormatFixed(radius, 5, 1)));
}

int TForm1::OpenThkData(const QString& fileName, bool fromClipboard) {
    int result = -1;
    if (!fromClipboard && fileName.isEmpty()) {
        ShowMessage("<OpenThkData> Filename is NULL.");
    } else {
        ReadControls();
        ClearThkData(ThkDataSet, 3);
        result = fromClipboard ? PasteThkData(ThkDataSet[0])
                               : ReadThkFile(QFile::encodeName(fileName).toStdString(), ThkDataSet[0]);
    }
    if (result != 1) {
        ResetData();
        return -1;
    }
    DataType = 0;
    SetRadioItemEnabled(0, true);
    Rdo_DataType->SetItemIndex(0);
    FillDataTable(ThkDataSet[0]);
    if (RadOptimize) {
        const float radius = OptimizeSearchRadius(ThkDataSet[0], CalcPitch, MinDataCount);
        if (radius >= 0.0f) SetSearchRadiusText(radius);
    }
    Btn_Calc->setEnabled(true);
    Btn_Copy_Image->setEnabled(true);
    Btn_Copy_Data->setEnabled(true);
    if (AutoFill) {
        Btn_CalcClick();
        Btn_FillClick();
    }
    RedrawAll();
    return 1;
}

int TForm1::OpenFileByPath(const QString& rawPath) {
    QString path = rawPath;
    path.remove(QLatin1Char('"'));
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    if (ext.trimmed() == QLatin1String(".exe")) return 0;
    if (ext.compare(QLatin1String(".thk"), Qt::CaseInsensitive) != 0) {
        ShowMessage("Unknown File Ext Name -> [" + ext.toStdString() + "].");
        return -1;
    }
    return OpenThkData(path, false) == 1 ? 1 : -1;
}

void TForm1::ResetData() {
    ResetDataTable();
    for (int i = 0; i < 3; ++i)
        SetRadioItemEnabled(i, false);
    ClearThkData(ThkDataSet, 3);
    for (QPushButton* b : {Btn_Calc, Btn_Fill, Btn_Copy_Image, Btn_Copy_Data, Btn_3D})
        b->setEnabled(false);
    RedrawAll();
}

void TForm1::Btn_LoadClick() {
    const auto chosen =
        dialogs_.OpenFile(this, QStringLiteral("Thickness data file (*.thk)"), QStringLiteral("thk"));
    if (!chosen) return;
    if (OpenThkData(*chosen, false) == 1) RedrawAll();
}

void TForm1::Btn_PasteClick() {
    OpenThkData(QString(), true);
}

int TForm1::PasteThkData(ThkData&) {
    // The conversion of pasted X/Y/Z text is not built yet, so nothing is
    // pasted; Btn_Paste stays disabled until it is.
    return -1;
}

void TForm1::Btn_CalcClick() {
    ReadControls();
    {
        BusyCursor busy;
        CalcGrid(ThkDataSet[0], ThkDataSet[1], AverageWeight, SearchRad, CalcPitch, CalcIteration);
    }
    DataType = 1;
    SetRadioItemEnabled(1, true);
    Rdo_DataType->SetItemIndex(1);
    Btn_Fill->setEnabled(true);
    FillDataTable(ThkDataSet[1]);
    RedrawAll();
}

void TForm1::Btn_FillClick() {
    ReadControls();
    ClearThkData(&ThkDataSet[2], 1);
    int result;
    {
        BusyCursor busy;
        result = RunFill(ThkDataSet[1], ThkDataSet[2], SplineOrder);
    }
    if (result != 1) return;
    Btn_Copy_Data->setEnabled(true);
    DataType = 2;
    SetRadioItemEnabled(2, true);
    Rdo_DataType->SetItemIndex(2);
    Btn_3D->setEnabled(true);
    RedrawAll();
}

void TForm1::Btn_3DClick() {
    if (view3d_) view3d_->ShowThkData(&ThkDataSet[2]);
}

void TForm1::Rdo_DataTypeClick() {
    ReadControls();
    Btn_Copy_ROI->setEnabled(DataType == 2 && (RoiShown[0] || RoiShown[1]));
    Cmb_DrawType->setEnabled(DataType == 2);
    RedrawAll();
}

void TForm1::Chk_RadOptimizeClick() {
    const bool optimize = Chk_RadOptimize->isChecked();
    Lbl_SearchRad->setEnabled(!optimize);
    Lbl_MinDataCount->setEnabled(optimize);
}

void TForm1::Chk_ColormapClick() {
    if (!ParamLoading) {
        ReadControls();
        DrawColorBar(Img_ColorBar->Picture(), UseColormap, CommittedGradation());
        Img_ColorBar->PictureChanged();
        RedrawAll();
    }
    Btn_ColorSetting->setEnabled(!Chk_Colormap->isChecked());
}

void TForm1::Chk_RawRangeClick() {
    if (!ParamLoading) RedrawAll();
}

void TForm1::Chk_CopyColormapClick() {
    if (ParamLoading) return;
    ReadControls();
    if (DataType == 2) DrawContourMap(ThkDataSet[2]);
}

void TForm1::Cmb_DrawTypeChange() {
    if (!ParamLoading) {
        ReadControls();
        if (DataType == 1 || DataType == 2) RedrawAll();
    }
    const bool contour = Cmb_DrawType->currentIndex() == 1;
    Lbl_BorderCount->setEnabled(contour);
    Chk_CopyColormap->setEnabled(contour);
}

void TForm1::Btn_ColorSettingClick() {
    if (!gradationSet_ || !gradationSet_->Execute()) return;
    DrawColorBar(Img_ColorBar->Picture(), Chk_Colormap->isChecked(), CommittedGradation());
    Img_ColorBar->PictureChanged();
    RedrawAll();
}

void TForm1::Lbl_DataDoubleClick(ClickLabel* label) {
    const int tag = label->Tag;
    if (tag < 0 || tag >= static_cast<int>(ParamSpecs.size()) || !tenkey_) return;
    ParamSpec& spec = ParamSpecs[static_cast<size_t>(tag)];
    spec.Text = label->text();
    if (!tenkey_->InputValue(spec)) return;
    label->setText(tenkey_->EnteredText);
    if (tag == 10) {
        RefreshRois();
    } else if (tag == 20) {
        SetBorderCount(tenkey_->EnteredText.toInt());
        if (DataType == 2) DrawContourMap(ThkDataSet[2]);
    }
}

void TForm1::Shp_ColorMouseDown(ShapeSwatch* shape) {
    const auto chosen = dialogs_.ChooseColor(this, shape->BrushColor());
    if (!chosen) return;
    shape->SetBrushColor(*chosen);
    if (shape->Tag >= 0 && shape->Tag <= 2) {
        RedrawAll();
    } else if (shape->Tag == 30 || shape->Tag == 31) {
        RefreshRois();
    }
}

void TForm1::Img_ColormapMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    // Pointer read-out and ROI placement come with the ROI measurement.
}

void TForm1::Img_ColormapMouseMove(Qt::KeyboardModifiers, int, int) {}

void TForm1::Img_ColormapMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}

void TForm1::Lbl_DataMakeDblClick() {
    // The random data maker's form is not built yet.
}

void TForm1::Btn_ExpandClick() {
    Expanded = !Expanded;
    resize(ClientWidth, Expanded ? TallClientHeight : ShortClientHeight);
    Btn_Expand->setText(Expanded ? QStringLiteral("\u25B2") : QStringLiteral("\u25BC"));
}

void TForm1::Btn_ExitClick() {
    close();
}

void TForm1::Btn_Copy_ImageClick() {
    const QImage picture = grab(QRect(4, 4, 408, 310)).toImage();
    QGuiApplication::clipboard()->setImage(picture);
    ShowMessage("Copied graphic image to Clipboard.");
}

void TForm1::Btn_Copy_DataClick() {
    const int t = DataType < 0 ? 0 : DataType;
    const int step = t == 1 ? CalcPitch : 1;
    const std::string text = BuildThkDataText(ThkDataSet[t], step);
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    ShowMessage("Copy data to clipboard.");
}

void TForm1::Btn_Copy_ROIClick() {
    // ROI statistics text comes with the ROI measurement.
}

int TForm1::LoadParameterOnStart() {
    // The parameter file is not read yet: the designed values stand.
    return 1;
}

int TForm1::SaveParameter(const QString&) {
    // The parameter file is not written yet.
    return 1;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (SaveParameter(AppDir + QStringLiteral("setting.dat")) != 1) ShowMessage("Parameter is not saved.");
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
    DropFiles(paths);
}

void TForm1::DropFiles(const QStringList& paths) {
    if (paths.size() != 1) {
        ShowMessage("This application is able to load only single file.");
        return;
    }
    OpenFileByPath(paths.first());
}
