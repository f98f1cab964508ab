#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "colour/ColorScale.h"
#include "colour/MapPicture.h"
#include "session/Session.h"
#include "ui/Input.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class ClickLabel;
class DataTableModel;
class FitLabel;
class Dialogs;
class ImageBox;
class RadioGroup;
class RoiOverlay;
class ShapeSwatch;
class TDataMake;
class TGradationSet;
class TTenkey;
class TView3D;
class AnalysisWindow;
struct MapStyle;
struct AnnotatedContent;

// The main window: every control, its captions and states, and the handlers
// that turn clicks into steps of the data flow. The flow itself (the three
// records, load, Calc, Fill, redraw decisions) is the session's; the window
// gives it the controls' settings and shows what it reports.
class TForm1 : public QWidget, private SessionFrontEnd {
    Q_OBJECT
public:
    // settingsDir: where "setting.dat" and "colorset.dat" live (the
    // executable's directory in the program, a temporary folder in tests).
    // dialogs: file and colour dialogs; not owned.
    TForm1(const QString& settingsDir, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // The companion forms, created after the main window as its children.
    void AttachForms(TTenkey* tenkey, TDataMake* dataMake, TGradationSet* gradationSet, TView3D* view3d);
    // The raw process command line (everything after the program path).
    void SetCommandLine(const QString& arguments) { commandLine_ = arguments; }
    // True when start-up failed and the application should end.
    bool StartupFailed() const { return startupFailed_; }

    Session& Flow() { return session_; }
    const Session& Flow() const { return session_; }
    const ViewSettings& Settings() const { return session_.Settings(); }

    // Operations.
    void ReadControls();
    void RedrawAll();
    void ResetData();
    void ResetDataTable();
    void FillDataTable(const ThkData& record);
    int OpenThkData(const QString& fileName, bool fromClipboard);
    // The clipboard's X/Y/Z text into record: 1, or -1 after a message.
    int PasteThkData(ThkData& record, const MessageSink& messages);
    int OpenFileByPath(const QString& path);
    // A thickness table (.csv, .txt) through the Import dialog and the
    // session's Open: 1, 0 when the user cancelled, or -1 after a message.
    int ImportTableFile(const QString& path);
    // The file the shown data came from; empty for pasted or made data.
    const QString& LoadedFile() const { return loadedFile_; }
    // The last files loaded (newest first, at most RecentFileCount), kept
    // beside setting.dat in RecentFilesName between runs.
    static constexpr int RecentFileCount = 8;
    static QString RecentFilesName() { return QStringLiteral("recent.ini"); }
    const QStringList& RecentFiles() const { return recentFiles_; }
    // The Load button's context menu of recent files, made afresh.
    QMenu* RecentFilesMenu();
    // The map's context menu (a plain right click): Save Image at 1x, 2x,
    // 4x and Save Data.
    QMenu* MapMenu() const { return mapMenu_; }
    // The shown map as the user sees it, with its colour bar, title and
    // figures, written at scale 1, 2 or 4 as PNG, SVG or PDF (by the
    // extension): 1, or -1 after a message.
    int SaveImage(const QString& path, int scale);
    // The shown record's cells as CSV (with mm positions when the analysis
    // window sets a wafer): 1, or -1 after a message.
    int SaveData(const QString& path);
    void SetRadioItemEnabled(int index, bool enabled);
    void UpdateScaleLabels(const ThkData& record);
    // Regions of interest: shows or hides ROI i (and sets Copy ROI's
    // enabling); measures and lays out the placed ones on the shown record.
    void SetRoiShown(int i, bool shown);
    void RefreshRois();
    int LoadParameterOnStart();
    int LoadParameter(const QString& path);
    void ApplyParameters();
    int SaveParameter(const QString& path);
    // Where "setting.dat" is read and written: the settings directory given
    // at construction, or the per-user configuration directory when that one
    // cannot be written (an installed program).
    const QString& SettingsPath() const { return settingsPath_; }
    // The window's own display choices beside setting.dat (its 26 lines stay
    // as they are): whether the Sites markers are drawn.
    QString DisplayChoicesPath() const;

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
    void Btn_ColorSettingClick();
    void Rdo_DataTypeClick();
    void Chk_RadOptimizeClick();
    void Chk_ColormapClick();
    void Chk_RawRangeClick();
    void Chk_CopyColormapClick();
    void Chk_SitesClick();
    void Cmb_DrawTypeChange();
    void Lbl_DataDoubleClick(ClickLabel* label);
    void Shp_ColorMouseDown(ShapeSwatch* shape);
    void Img_ColormapMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void Img_ColormapMouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void Btn_Copy_ROIClick();
    void Cmb_ROI_TypeChange();
    void Cmb_ROI_FDigitChange();
    void Chk_ROI_ShowDataClick();
    void Lbl_DataMakeDblClick();
    // Opens the analysis window (also Ctrl+Shift+A).
    void Btn_AnalysisClick();
    // Save Image (asks for the file) and Save Data.
    void SaveImageClick(int scale);
    void SaveDataClick();

    // Window state that is the window's own.
    bool ParamLoading = false;
    bool Expanded = false;
    QString AppDir;
    std::array<ParamInput, 50> ParamInputs;

    // Controls.
    QFrame* Pnl_CM = nullptr;
    ImageBox* Img_Colormap = nullptr;
    QFrame* Frm_ColorBar = nullptr;
    ImageBox* Img_ColorBar = nullptr;
    std::array<FitLabel*, 5> Lbl_Cont_Range{};  // [0] = Lbl_Cont_Range1 (bottom, Min)
    QLabel* Lbl_Max = nullptr;
    QLabel* Lbl_Min = nullptr;
    QLabel* Lbl_Mid = nullptr;
    QLabel* Lbl_Mean_Lbl = nullptr;
    FitLabel* Lbl_Mean = nullptr;
    QTableView* Stg_Data = nullptr;
    RadioGroup* Rdo_DataType = nullptr;
    QGroupBox* Grp_Cursor = nullptr;
    QLabel* Lbl_Cursor_X = nullptr;
    QLabel* Lbl_Cursor_Y = nullptr;
    FitLabel* Lbl_Cursor_Data = nullptr;
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
    // Markers for the data cells the map's sampling cannot show.
    QCheckBox* Chk_Sites = nullptr;
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
    // The ROI outlines and value labels over the map.
    RoiOverlay* Roi = nullptr;
    QPushButton* Btn_Analysis = nullptr;

    DataTableModel* DataTable() const { return dataTable_; }

    // Client heights of the short and tall window states.
    static constexpr int ClientWidth = 418;
    static constexpr int ShortClientHeight = 411;
    static constexpr int TallClientHeight = 549;

signals:
    // After every drawing of the map: the record drawn, as the plan says,
    // with these colours.
    void MapShown(const ThkData& record, const MapPlan& plan, const MapStyle& style);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Building and wiring the controls (MainControls.cpp).
    void BuildControls();
    void ConnectHandlers();

    // The picture: map, colour bar and scale labels (MainPicture.cpp).
    MapStyle CurrentMapStyle() const;
    // Paints the contour map and writes the contour label format; only the
    // session's plans call it, so the ramp set it leaves is known.
    void DrawContourMap(const ThkData& record);
    void DrawColorBarPicture();
    // The Sites markers of a Raw or Grid colour map over the map picture;
    // none for other drawings or with Sites off.
    void ShowSites(const ThkData& record, const MapPlan& plan);
    // The pointer read-out at the last pointer position over the map, in
    // the record now shown.
    void ShowPointerReadout();
    void LoadDisplayChoices();
    void SaveDisplayChoices() const;
    const GradationTable& CommittedGradation() const;

    void DropFiles(const QStringList& paths);
    // A file's data is shown: the caption names it and it heads the recent
    // files. An empty path: data without a file.
    void FileShown(const QString& path);
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void BuildMapMenu();
    AnnotatedContent ShownPicture() const;
    // The record of the current data type; nullptr while none is selected.
    const ThkData* CurrentRecord() const;
    std::array<bool, 2> RoisShown() const { return {session_.RoiShown(0), session_.RoiShown(1)}; }

    // What the session shows through the window.
    void ReadSettings(ViewSettings& settings) override;
    void ShowSelectedData(DataKind kind) override;
    void ShowAvailability(const Availability& enabled) override;
    void ShowSearchRadius(const std::string& text) override;
    void ShowDataTable(const ThkData* record) override;
    void ShowMap(const ThkData& record, const MapPlan& plan) override;
    void ShowBusy(bool busy) override;
    void ShowMessageText(const std::string& text) override;

    Session session_;
    Dialogs& dialogs_;
    TTenkey* tenkey_ = nullptr;
    TDataMake* dataMake_ = nullptr;
    TGradationSet* gradationSet_ = nullptr;
    TView3D* view3d_ = nullptr;
    AnalysisWindow* analysis_ = nullptr;  // made when first opened
    DataTableModel* dataTable_ = nullptr;
    QString commandLine_;
    QString settingsPath_;
    bool shownOnce_ = false;
    // Where the pointer last moved over the map; none before it first did.
    std::optional<QPoint> pointer_;
    bool startupFailed_ = false;
    QString designedCaption_;
    QString loadedFile_;
    QStringList recentFiles_;
    QMenu* mapMenu_ = nullptr;
    // The last drawing of the map, as the session planned it.
    MapPlan lastPlan_;
};
