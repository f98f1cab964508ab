#pragma once

#include <QLineF>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "analysis/AnalysisMask.h"
#include "analysis/AreaStatistics.h"
#include "analysis/RecordDifference.h"
#include "analysis/WaferGeometry.h"
#include "colour/MapPicture.h"
#include "session/Session.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class AnalysisCharts;
class AnalysisColorBar;
class AnalysisMapView;
class Dialogs;
struct AnnotatedContent;

// The analysis window beside the main window: the record the main window
// shows, every cell at any zoom with the same colours, the wafer and its edge
// exclusion, the figures an engineer reports inside the wafer, profiles and a
// histogram. It only reads the main window's records; closing it changes
// nothing there.
class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    // session: the main window's flow, whose Raw record gives the sites and
    // their figures and whose Grid record the nodes. settingsFolder: where
    // the wafer settings are kept (the file SettingsFileName). dialogs: what
    // Compare asks for its file (and a table's import) with, and where the
    // window's messages are shown.
    AnalysisWindow(const Session& session, const QString& settingsFolder, Dialogs& dialogs,
                   QWidget* parent = nullptr);
    ~AnalysisWindow() override;

    static QString SettingsFileName() { return QStringLiteral("analysis.ini"); }

    // The main window drew record as plan says with style: follow it. A
    // hidden window only notes it and catches up when shown.
    void MapShown(const ThkData& record, const MapPlan& plan, const MapStyle& style);

    // The file the main window shows (empty: none), named in saved pictures.
    void SetSourceName(const QString& path) { sourceName_ = path; }

    // Compare: the file at path (.thk, or a table through the Import
    // dialog) is loaded by a session of its own, gridded and filled with the
    // main window's current parameters (the search radius as it stands) up to
    // the kind of data shown, and the difference of the shown record and it,
    // in order, divided by time when time > 0 (a rate), becomes the record
    // this window shows in colours centred on zero. The main window keeps
    // showing its record; its next full drawing ends the comparison. 1, or -1
    // after a message (records of different Size refuse).
    int CompareWith(const QString& path, DifferenceOrder order, double time);
    // Back to following the main window's record.
    void EndComparison();
    bool Comparing() const { return difference_ != nullptr; }
    // The record the window shows: the difference while comparing.
    const ThkData* ShownRecord() const;

    // The shown record as a picture (map, bar, title, figures) at scale 1,
    // 2 or 4 in the format of the extension, and its cells as CSV (with mm
    // positions under a wafer): 1, or -1 after a message.
    int SaveImage(const QString& path, int scale);
    int SaveData(const QString& path);

    const WaferGeometry& Wafer() const { return wafer_; }
    // Takes a geometry that passes CheckWaferGeometry (shown in the controls
    // and kept for the next run); false, with nothing changed, otherwise.
    bool SetWafer(const WaferGeometry& geometry);

    // The figures of the shown record inside the mask and of the raw sites.
    const AreaStatistics& ShownStatistics() const { return shownStats_; }
    const AreaStatistics& SitesStatistics() const { return sitesStats_; }
    // What Copy puts on the clipboard: both as "name<TAB>value" lines, the
    // sites' names with the prefix "Sites".
    QString StatisticsClipboardText() const;

    AnalysisMapView* MapView() const { return map_; }
    AnalysisCharts* Charts() const { return charts_; }
    QTableWidget* StatisticsTable() const { return stats_; }
    QLabel* PointerReadout() const { return readout_; }
    QPushButton* CompareButton() const { return compare_; }
    QComboBox* CompareOrderBox() const { return order_; }
    QDoubleSpinBox* CompareTimeBox() const { return time_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    // Mask, figures, map picture and plots of the shown record.
    void Refresh();
    void RefreshLineProfile();
    void ShowStatistics();
    void ShowPointer(QPointF units);
    void WaferControlsChanged();
    void ShowWaferInControls();
    void LoadWafer();
    void SaveWafer() const;
    void CompareClick();
    void SaveImageClick(int scale);
    void SaveDataClick();
    // Heading of the shown figures: the data type, "Difference" or "Rate".
    QString ShownName() const;
    AnnotatedContent ShownPicture() const;

    const Session& session_;
    QString settingsPath_;
    WaferGeometry wafer_;
    // What the main window last drew; nothing before its first drawing.
    const ThkData* shown_ = nullptr;
    MapPlan plan_;
    MapStyle style_;
    bool stale_ = true;  // the pictures and figures lag behind the main window
    std::optional<AnalysisMask> mask_;
    AreaStatistics shownStats_;
    AreaStatistics sitesStats_;
    std::optional<QLineF> line_;  // the dragged profile line, file units
    bool settingControls_ = false;
    Dialogs& dialogs_;
    QString sourceName_;
    QString compareName_;
    double compareTime_ = 0.0;
    std::unique_ptr<ThkData> difference_;

    QDoubleSpinBox* diameter_ = nullptr;
    QDoubleSpinBox* edge_ = nullptr;
    QCheckBox* centreSet_ = nullptr;
    QDoubleSpinBox* centreX_ = nullptr;
    QDoubleSpinBox* centreY_ = nullptr;
    QLabel* waferFault_ = nullptr;
    QCheckBox* showSites_ = nullptr;
    QCheckBox* showNodes_ = nullptr;
    QSpinBox* bins_ = nullptr;
    QPushButton* resetView_ = nullptr;
    AnalysisMapView* map_ = nullptr;
    AnalysisColorBar* colorBar_ = nullptr;
    QLabel* readout_ = nullptr;
    QTableWidget* stats_ = nullptr;
    QPushButton* copyStats_ = nullptr;
    AnalysisCharts* charts_ = nullptr;
    QPushButton* compare_ = nullptr;
    QComboBox* order_ = nullptr;
    QDoubleSpinBox* time_ = nullptr;
    QComboBox* timeUnit_ = nullptr;
    QPushButton* endCompare_ = nullptr;
    QLabel* compareState_ = nullptr;
    QPushButton* saveImage_ = nullptr;
    QPushButton* saveData_ = nullptr;
};
