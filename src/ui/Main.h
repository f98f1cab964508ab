#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include "colour/ColorMap.h"
#include "core/Color.h"
#include "data/ThkData.h"
#include "ui/Forms.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class ClickLabel;
class DataTableModel;
class Dialogs;
class ImageBox;
class RadioGroup;
class ShapeSwatch;

// The main window: owns the three data records (Raw, Grid, Fill), the
// operating parameters and every control, and sequences loading, calculation,
// fill, drawing and export.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    // settingsDir: where "setting.dat" and "colorset.dat" live (the
    // executable's directory in the program, a temporary folder in tests).
    // dialogs: file and colour dialogs; not owned.
    TForm1(const QString& settingsDir, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // The companion forms, created after the main window.
    void AttachForms(TTenkey* tenkey, TDataMake* dataMake, TGradationSet* gradationSet, TView3D* view3d);
    // The raw process command line (everything after the program path).
    void SetCommandLine(const QString& arguments) { commandLine_ = arguments; }
    // True when start-up failed and the application should end.
    bool StartupFailed() const { return startupFailed_; }

    // Operations.
    void ReadControls();
    void RedrawAll();
    void ResetData();
    void ResetDataTable();
    void FillDataTable(const ThkData& record);
    int OpenThkData(const QString& fileName, bool fromClipboard);
    int OpenFileByPath(const QString& path);
    int PasteThkData(ThkData& record);
    void SetRadioItemEnabled(int index, bool enabled);
    void UpdateScaleLabels(const ThkData& record);
    void DrawContourMap(ThkData& record);
    void RefreshRois();
    int LoadParameterOnStart();
    int SaveParameter(const QString& path);

    // Handlers.
    void FormCreate();
    void FormShow();
    void Btn_LoadClick();
    void Btn_PasteClick();
    void Btn_CalcClick();
    void Btn_FillClick();
    void Btn_3DClick();
    void Btn_ExpandClick();
    void Btn_ExitClick();
    void Btn_Copy_ImageClick();
    void Btn_Copy_DataClick();
    void Btn_Copy_ROIClick();
    void Btn_ColorSettingClick();
    void Rdo_DataTypeClick();
    void Chk_RadOptimizeClick();
    void Chk_ColormapClick();
    void Chk_RawRangeClick();
    void Chk_CopyColormapClick();
    void Cmb_DrawTypeChange();
    void Lbl_DataDoubleClick(ClickLabel* label);
    void Shp_ColorMouseDown(ShapeSwatch* shape);
    void Img_ColormapMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void Img_ColormapMouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void Img_ColormapMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void Img_ColorBarDblClick() {}
    void Lbl_DataMakeDblClick();

    // Records, indexed by data type: 0 Raw, 1 Grid, 2 Fill.
    ThkData* ThkDataSet = nullptr;

    // Window state (ReadControls).
    int DataType = -1;
    int DrawType = 0;
    bool ParamLoading = false;
    int CalcPitch = 20;
    float SearchRad = 80.0f;
    double AverageWeight = 3.0;
    int CalcIteration = 1;
    int SplineOrder = 3;
    int MinDataCount = 1;
    bool RadOptimize = true;
    bool AutoFill = false;
    bool UseColormap = true;
    bool RawRange = true;
    Color MapMinColor = 0x000000;
    Color MapMaxColor = 0xFFFFFF;
    Color MapBackColor = 0xFF0000;
    std::array<int, 2> RoiType{};
    std::array<int, 2> RoiSize{};
    std::array<int, 2> RoiFDigit{};
    std::array<Color, 2> RoiColor{};
    bool ShowRoiMin = false;
    bool ShowRoiMax = false;
    bool ShowRoiMean = true;
    bool ContourMode = false;
    int BorderCount = 5;
    bool CopyColormap = false;
    bool Expanded = false;
    QString AppDir;
    DisplayCondition Condition;
    RampParameters Ramp{};
    std::array<bool, 2> RoiShown{};
    std::array<ParamSpec, 50> ParamSpecs;

    // Controls.
    QFrame* Pnl_CM = nullptr;
    ImageBox* Img_Colormap = nullptr;
    QFrame* Frm_ColorBar = nullptr;
    ImageBox* Img_ColorBar = nullptr;
    std::array<QLabel*, 5> Lbl_Cont_Range{};  // [0] = Lbl_Cont_Range1 (bottom, Min)
    QLabel* Lbl_Max = nullptr;
    QLabel* Lbl_Min = nullptr;
    QLabel* Lbl_Mid = nullptr;
    QLabel* Lbl_Mean_Lbl = nullptr;
    QLabel* Lbl_Mean = nullptr;
    QTableView* Stg_Data = nullptr;
    RadioGroup* Rdo_DataType = nullptr;
    QGroupBox* Grp_Cursor = nullptr;
    QLabel* Lbl_Cursor_X = nullptr;
    QLabel* Lbl_Cursor_Y = nullptr;
    QLabel* Lbl_Cursor_Data = nullptr;
    QGroupBox* Grp_Calc = nullptr;
    ClickLabel* Lbl_AverageWeight = nullptr;
    ClickLabel* Lbl_CalcPitch = nullptr;
    ClickLabel* Lbl_SearchRad = nullptr;
    ClickLabel* Lbl_CalcIteration = nullptr;
    ClickLabel* Lbl_SplineOrder = nullptr;
    ClickLabel* Lbl_MinDataCount = nullptr;
    QCheckBox* Chk_RadOptimize = nullptr;
    QGroupBox* Grp_Color = nullptr;
    ShapeSwatch* Shp_Color_Back = nullptr;
    ShapeSwatch* Shp_Color_Min = nullptr;
    ShapeSwatch* Shp_Color_Max = nullptr;
    QCheckBox* Chk_Colormap = nullptr;
    QCheckBox* Chk_RawRange = nullptr;
    QPushButton* Btn_ColorSetting = nullptr;
    QGroupBox* Grp_Roi = nullptr;
    QComboBox* Cmb_ROI_Type_1 = nullptr;
    QComboBox* Cmb_ROI_FDigit_1 = nullptr;
    ClickLabel* Lbl_ROI_Size_1 = nullptr;
    QComboBox* Cmb_ROI_Type_2 = nullptr;
    QComboBox* Cmb_ROI_FDigit_2 = nullptr;
    ClickLabel* Lbl_ROI_Size_2 = nullptr;
    ShapeSwatch* Shp_ROI_Color_1 = nullptr;
    ShapeSwatch* Shp_ROI_Color_2 = nullptr;
    QCheckBox* Chk_ROI_Min = nullptr;
    QCheckBox* Chk_ROI_Max = nullptr;
    QCheckBox* Chk_ROI_Mean = nullptr;
    QGroupBox* Grp_Contour = nullptr;
    ClickLabel* Lbl_BorderCount = nullptr;
    QCheckBox* Chk_CopyColormap = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* Btn_Load = nullptr;
    QPushButton* Btn_Paste = nullptr;
    QPushButton* Btn_Calc = nullptr;
    QPushButton* Btn_Fill = nullptr;
    QCheckBox* Chk_AutoFill = nullptr;
    QComboBox* Cmb_DrawType = nullptr;
    QPushButton* Btn_3D = nullptr;
    QPushButton* Btn_Copy_Image = nullptr;
    QPushButton* Btn_Copy_Data = nullptr;
    QPushButton* Btn_Copy_ROI = nullptr;
    QPushButton* Btn_Expand = nullptr;
    QPushButton* Btn_Exit = nullptr;
    ClickLabel* Lbl_DataMake = nullptr;

    DataTableModel* DataTable() const { return dataTable_; }

    // Client heights of the short and tall window states.
    static constexpr int ClientWidth = 418;
    static constexpr int ShortClientHeight = 411;
    static constexpr int TallClientHeight = 549;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void DropFiles(const QStringList& paths);
    const GradationTable& CommittedGradation() const;
    void SetSearchRadiusText(float radius);

    std::unique_ptr<ThkData[]> records_;
    Dialogs& dialogs_;
    TTenkey* tenkey_ = nullptr;
    TDataMake* dataMake_ = nullptr;
    TGradationSet* gradationSet_ = nullptr;
    TView3D* view3d_ = nullptr;
    DataTableModel* dataTable_ = nullptr;
    QString commandLine_;
    bool shownOnce_ = false;
    bool startupFailed_ = false;
};
