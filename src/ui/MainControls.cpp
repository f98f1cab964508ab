#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

#include "ui/DataTableModel.h"
#include "ui/Main.h"
#include "ui/RoiOverlay.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/FitLabel.h"
#include "ui/widgets/ImageBox.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/ShapeSwatch.h"

// The main window's controls at their designed places, captions and states,
// and the wiring of their events to the handlers.

namespace {

const QString kDesignedCaption = QStringLiteral("Morvaplot ");

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
ClickLabel* MakeParamLabel(const QString& text, ParamTag tag, QWidget* parent, int x, int y, int w) {
    auto* label = new ClickLabel(text, parent);
    label->Tag = static_cast<int>(tag);
    label->setGeometry(x, y, w, 16);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("QLabel { color: #0000ff; } QLabel:disabled { color: #8080a0; }"));
    return label;
}

ShapeSwatch* MakeSwatch(QWidget* parent, SwatchTag tag, Color color, int x, int y, int w, int h) {
    auto* shape = new ShapeSwatch(parent);
    shape->Tag = static_cast<int>(tag);
    shape->SetBrushColor(color);
    shape->setGeometry(x, y, w, h);
    return shape;
}

}  // namespace

void TForm1::BuildControls() {
    setWindowTitle(kDesignedCaption);
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    // A fixed size for each Expand state (Btn_ExpandClick switches it) and no
    // maximise button, so the state and the real height always agree.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ShortClientHeight);

    // Map panel with the 301 x 301 map at (2, 2).
    Pnl_CM = new QFrame(this);
    Pnl_CM->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Pnl_CM->setLineWidth(1);
    Pnl_CM->setGeometry(4, 4, 305, 305);
    Img_Colormap = new ImageBox(301, 301, Pnl_CM);
    Img_Colormap->move(2, 2);
    Img_Colormap->Picture().fill(Qt::black);
    Roi = new RoiOverlay(Pnl_CM, Img_Colormap);

    // Colour bar in a raised frame, labels from Max (top) to Min (bottom).
    Frm_ColorBar = new QFrame(this);
    Frm_ColorBar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Frm_ColorBar->setGeometry(316, 20, 13, 269);
    Img_ColorBar = new ImageBox(9, 265, Frm_ColorBar);
    Img_ColorBar->move(2, 2);
    QFont bold = font();
    bold.setBold(true);
    // Every number label ends at x 411, the last column Copy Image takes, and
    // shrinks its font for a text too long for it (thick films, exponents).
    constexpr int labelsRight = 412;
    const auto numberLabel = [&](int x, int y, int h) {
        auto* label = new FitLabel(QStringLiteral("----.---"), 12, this);
        label->setFont(bold);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(x, y, labelsRight - x, h);
        return label;
    };
    for (int i = 0; i < 5; ++i) {
        const int y = 22 + 265 - 8 - static_cast<int>(i * 265 / 4.0);
        Lbl_Cont_Range[static_cast<size_t>(i)] = numberLabel(331, y, 14);
    }
    auto* maxCaption = MakeLabel(QStringLiteral("Max:"), this, 316, 4, 30, 14);
    auto* minCaption = MakeLabel(QStringLiteral("Min:"), this, 316, 4, 30, 14);
    auto* midCaption = MakeLabel(QStringLiteral("Middle:"), this, 316, 4, 40, 14);
    Lbl_Max = MakeLabel(QString(), this, 346, 4, 60, 14);
    Lbl_Min = MakeLabel(QString(), this, 346, 4, 60, 14);
    Lbl_Mid = MakeLabel(QString(), this, 346, 4, 60, 14);
    for (QLabel* hidden : {maxCaption, minCaption, midCaption, Lbl_Max, Lbl_Min, Lbl_Mid})
        hidden->hide();
    // The mean's value starts a few pixels after its caption, whatever width
    // the caption takes in this font.
    const QString meanCaption = QStringLiteral("Mean:");
    const int captionWidth = fontMetrics().horizontalAdvance(meanCaption) + 1;
    Lbl_Mean_Lbl = MakeLabel(meanCaption, this, 313, 296, captionWidth, 16);
    Lbl_Mean = numberLabel(313 + captionWidth + 4, 296, 16);

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
    // Coordinates take at most three digits; the value takes the rest of the
    // group, so a thick film's eight digits and three decimals show whole
    // (longer texts, exponent forms, are drawn smaller).
    MakeLabel(QStringLiteral("X:"), Grp_Cursor, 6, 18, 14, 16);
    Lbl_Cursor_X = MakeLabel(QStringLiteral("---"), Grp_Cursor, 20, 18, 26, 16);
    MakeLabel(QStringLiteral("Y:"), Grp_Cursor, 48, 18, 14, 16);
    Lbl_Cursor_Y = MakeLabel(QStringLiteral("---"), Grp_Cursor, 62, 18, 26, 16);
    MakeLabel(QStringLiteral("Data:"), Grp_Cursor, 90, 18, 32, 16);
    Lbl_Cursor_Data = new FitLabel(QStringLiteral("---.---"), 12, Grp_Cursor);
    Lbl_Cursor_Data->setGeometry(122, 18, 84, 16);
    Lbl_Cursor_Data->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

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
    Lbl_DataMake->setToolTip(QStringLiteral("Double-click to make random test data"));
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
    Lbl_AverageWeight =
        MakeParamLabel(QStringLiteral("3.00"), ParamTag::AverageWeight, Grp_Calc, 106, 18, 38);
    Lbl_CalcPitch = MakeParamLabel(QStringLiteral("20"), ParamTag::CalcPitch, Grp_Calc, 106, 36, 38);
    Lbl_SearchRad = MakeParamLabel(QStringLiteral("80.0"), ParamTag::SearchRad, Grp_Calc, 106, 54, 38);
    Lbl_SplineOrder = MakeParamLabel(QStringLiteral("3"), ParamTag::SplineOrder, Grp_Calc, 106, 72, 38);
    Lbl_MinDataCount = MakeParamLabel(QStringLiteral("1"), ParamTag::MinDataCount, Grp_Calc, 106, 90, 38);
    Lbl_CalcIteration = MakeParamLabel(QStringLiteral("1"), ParamTag::CalcIteration, Grp_Calc, 106, 108, 38);
    Lbl_CalcIteration->hide();
    Lbl_SearchRad->setEnabled(false);
    Chk_RadOptimize = MakeCheck(QStringLiteral("Rad Optimize"), Grp_Calc, 6, 110, 120, true);

    Grp_Color = new QGroupBox(QStringLiteral("Color Setting"), this);
    Grp_Color->setGeometry(158, 414, 128, 70);
    Shp_Color_Back = MakeSwatch(Grp_Color, SwatchTag::MapBack, 0x000000, 6, 18, 16, 16);
    MakeLabel(QStringLiteral("Back"), Grp_Color, 26, 18, 32, 16);
    Shp_Color_Min = MakeSwatch(Grp_Color, SwatchTag::MapMin, 0x000000, 6, 40, 16, 16);
    Shp_Color_Max = MakeSwatch(Grp_Color, SwatchTag::MapMax, 0xFFFFFF, 6, 40, 16, 16);
    Shp_Color_Min->hide();
    Shp_Color_Max->hide();
    Btn_ColorSetting = MakeButton(QStringLiteral("Setting"), Grp_Color, 64, 16, 58, 20);
    Btn_ColorSetting->setEnabled(false);
    Chk_Colormap = MakeCheck(QStringLiteral("Colormap"), Grp_Color, 6, 36, 116, true);
    Chk_RawRange = MakeCheck(QStringLiteral("Raw Range"), Grp_Color, 6, 52, 116, true);

    Grp_Contour = new QGroupBox(QStringLiteral("Contour Parameter"), this);
    Grp_Contour->setGeometry(158, 486, 128, 60);
    MakeLabel(QStringLiteral("Border Count:"), Grp_Contour, 6, 18, 86, 16);
    Lbl_BorderCount = MakeParamLabel(QStringLiteral("5"), ParamTag::BorderCount, Grp_Contour, 92, 18, 28);
    Chk_CopyColormap = MakeCheck(QStringLiteral("Copy Colormap"), Grp_Contour, 6, 38, 116, false);
    Lbl_BorderCount->setEnabled(false);
    Chk_CopyColormap->setEnabled(false);

    Grp_Roi = new QGroupBox(QStringLiteral("ROI Setting"), this);
    Grp_Roi->setGeometry(290, 414, 124, 132);
    const QStringList roiTypes{QStringLiteral("\u25CB"), QStringLiteral("\u25A1")};
    const QStringList digits{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                             QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    // Three rows: shape and digits, size, the two colours; then the switches.
    Cmb_ROI_Type_1 = new QComboBox(Grp_Roi);
    Cmb_ROI_Type_1->addItems(roiTypes);
    Cmb_ROI_Type_1->setGeometry(6, 16, 40, 22);
    MakeLabel(QStringLiteral("F-Dig:"), Grp_Roi, 48, 16, 38, 22);
    Cmb_ROI_FDigit_1 = new QComboBox(Grp_Roi);
    Cmb_ROI_FDigit_1->addItems(digits);
    Cmb_ROI_FDigit_1->setGeometry(86, 16, 34, 22);
    MakeLabel(QStringLiteral("Size:"), Grp_Roi, 6, 42, 34, 16);
    Lbl_ROI_Size_1 = MakeParamLabel(QStringLiteral("10"), ParamTag::RoiSize, Grp_Roi, 40, 42, 30);
    MakeLabel(QStringLiteral("Color:"), Grp_Roi, 6, 60, 40, 16);
    Cmb_ROI_Type_2 = new QComboBox(Grp_Roi);
    Cmb_ROI_Type_2->addItems(roiTypes);
    Cmb_ROI_FDigit_2 = new QComboBox(Grp_Roi);
    Cmb_ROI_FDigit_2->addItems(digits);
    Lbl_ROI_Size_2 = MakeParamLabel(QStringLiteral("30"), ParamTag::RoiSize, Grp_Roi, 40, 42, 30);
    for (QWidget* hidden : std::initializer_list<QWidget*>{Cmb_ROI_Type_2, Cmb_ROI_FDigit_2, Lbl_ROI_Size_2})
        hidden->hide();
    Shp_ROI_Color_1 = MakeSwatch(Grp_Roi, SwatchTag::Roi1, 0x0000FF, 54, 60, 16, 16);
    Shp_ROI_Color_2 = MakeSwatch(Grp_Roi, SwatchTag::Roi2, 0xFF0000, 74, 60, 16, 16);
    Chk_ROI_Min = MakeCheck(QStringLiteral("Min"), Grp_Roi, 6, 78, 58, true);
    Chk_ROI_Max = MakeCheck(QStringLiteral("Max"), Grp_Roi, 6, 95, 58, true);
    Chk_ROI_Mean = MakeCheck(QStringLiteral("Mean"), Grp_Roi, 6, 112, 58, true);
    // Beside the switches of the ROI labels, the other marks drawn over the map.
    Chk_Sites = MakeCheck(QStringLiteral("Sites"), Grp_Roi, 64, 78, 58, true);
    Chk_Sites->setToolTip(QStringLiteral("Mark the measured points that fall between the map's pixels"));
    // The analysis window's button, in the corner the ROI switches leave free.
    Btn_Analysis = MakeButton(QStringLiteral("Analysis"), Grp_Roi, 64, 104, 54, 22);
    Btn_Analysis->setToolTip(QStringLiteral("Analysis window (Ctrl+Shift+A)"));
}

void TForm1::ConnectHandlers() {
    connect(Btn_Load, &QPushButton::clicked, this, &TForm1::Btn_LoadClick);
    // The recent files on the Load button's context menu.
    Btn_Load->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Btn_Load, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RecentFilesMenu()->popup(Btn_Load->mapToGlobal(at)); });
    connect(Btn_Paste, &QPushButton::clicked, this, &TForm1::Btn_PasteClick);
    connect(Btn_Calc, &QPushButton::clicked, this, &TForm1::Btn_CalcClick);
    connect(Btn_Fill, &QPushButton::clicked, this, &TForm1::Btn_FillClick);
    connect(Btn_3D, &QPushButton::clicked, this, &TForm1::Btn_3DClick);
    connect(Btn_Expand, &QPushButton::clicked, this, &TForm1::Btn_ExpandClick);
    connect(Btn_Exit, &QPushButton::clicked, this, &TForm1::Btn_ExitClick);
    connect(Btn_Copy_Image, &QPushButton::clicked, this, &TForm1::Btn_Copy_ImageClick);
    connect(Btn_Copy_Data, &QPushButton::clicked, this, &TForm1::Btn_Copy_DataClick);
    connect(Btn_ColorSetting, &QPushButton::clicked, this, &TForm1::Btn_ColorSettingClick);
    connect(Rdo_DataType, &RadioGroup::itemClicked, this, &TForm1::Rdo_DataTypeClick);
    // Toggled, not clicked: a box set from code (the parameter file) runs its
    // handler as a click does, and ParamLoading keeps it from redrawing.
    connect(Chk_RadOptimize, &QCheckBox::toggled, this, &TForm1::Chk_RadOptimizeClick);
    connect(Chk_Colormap, &QCheckBox::toggled, this, &TForm1::Chk_ColormapClick);
    connect(Chk_RawRange, &QCheckBox::toggled, this, &TForm1::Chk_RawRangeClick);
    connect(Chk_CopyColormap, &QCheckBox::toggled, this, &TForm1::Chk_CopyColormapClick);
    connect(Chk_Sites, &QCheckBox::toggled, this, &TForm1::Chk_SitesClick);
    connect(Cmb_DrawType, &QComboBox::activated, this, &TForm1::Cmb_DrawTypeChange);
    for (ClickLabel* label : {Lbl_AverageWeight, Lbl_CalcPitch, Lbl_SearchRad, Lbl_CalcIteration,
                              Lbl_SplineOrder, Lbl_MinDataCount, Lbl_ROI_Size_1, Lbl_BorderCount})
        connect(label, &ClickLabel::doubleClicked, this, &TForm1::Lbl_DataDoubleClick);
    for (ShapeSwatch* shape :
         {Shp_Color_Back, Shp_Color_Min, Shp_Color_Max, Shp_ROI_Color_1, Shp_ROI_Color_2})
        connect(shape, &ShapeSwatch::mousePressed, this, [this](ShapeSwatch* s) { Shp_ColorMouseDown(s); });
    connect(Img_Colormap, &ImageBox::mouseDown, this, &TForm1::Img_ColormapMouseDown);
    connect(Img_Colormap, &ImageBox::mouseMove, this, &TForm1::Img_ColormapMouseMove);
    connect(Roi, &RoiOverlay::removeRequested, this, [this](int i) { SetRoiShown(i, false); });
    connect(Btn_Copy_ROI, &QPushButton::clicked, this, &TForm1::Btn_Copy_ROIClick);
    connect(Cmb_ROI_Type_1, &QComboBox::currentIndexChanged, this, &TForm1::Cmb_ROI_TypeChange);
    connect(Cmb_ROI_FDigit_1, &QComboBox::currentIndexChanged, this, &TForm1::Cmb_ROI_FDigitChange);
    for (QCheckBox* box : {Chk_ROI_Min, Chk_ROI_Max, Chk_ROI_Mean})
        connect(box, &QCheckBox::toggled, this, &TForm1::Chk_ROI_ShowDataClick);
    connect(Lbl_DataMake, &ClickLabel::doubleClicked, this, [this] { Lbl_DataMakeDblClick(); });
    connect(Btn_Analysis, &QPushButton::clicked, this, &TForm1::Btn_AnalysisClick);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), this), &QShortcut::activated, this,
            &TForm1::Btn_AnalysisClick);
}
