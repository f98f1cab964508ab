#pragma once

#include <QLineF>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>

#include "analysis/RecordDifference.h"
#include "analysis/WaferGeometry.h"
#include "colour/MapPicture.h"
#include "session/Session.h"
#include "session/ShownAnalysis.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class PairedSitesTable;
class AnalysisCharts;
class AnalysisColorBar;
class AnalysisMapView;
class Dialogs;
struct AnnotatedContent;

// The analysis window beside the main window: the record the main window
// shows, every cell at any zoom with the same colours, the wafer and its edge
// exclusion, the figures an engineer reports inside the wafer, profiles and a
// histogram. It only reads the main window's records; closing it changes
// nothing there. What it shows and analyses is a ShownAnalysis; the window
// maps its controls onto it and shows its results.
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
    void SetSourceName(const QString& path);

    // Compare: the file at path (.thk, or a table through the Import
    // dialog) is compared with the shown record as ShownAnalysis::CompareWith
    // does, a rate per the unit the time box names when time > 0; the
    // difference is shown in colours centred on zero. The main window keeps
    // showing its record; its next full drawing ends the comparison. 1, or -1
    // after a message (records of different Size refuse) or a cancelled
    // import.
    int CompareWith(const QString& path, DifferenceOrder order, double time);
    // Back to following the main window's record.
    void EndComparison();
    bool Comparing() const { return analysis_.Comparing(); }
    // The record the window shows: the difference while comparing.
    const ThkData* ShownRecord() const { return analysis_.Shown(); }

    // The shown record as a picture (map, bar, title, figures) at scale 1,
    // 2 or 4 in the format of the extension, and its cells as CSV (with mm
    // positions under a wafer): 1, or -1 after a message.
    int SaveImage(const QString& path, int scale);
    int SaveData(const QString& path);

    const WaferGeometry& Wafer() const { return analysis_.Wafer(); }
    // Takes a geometry that passes CheckWaferGeometry (shown in the controls
    // and kept for the next run); false, with nothing changed, otherwise.
    bool SetWafer(const WaferGeometry& geometry);

    // What is shown and its analysis: the figures of the shown record inside
    // the wafer and of the raw sites, and the text Copy puts on the
    // clipboard.
    const ShownAnalysis& Analysis() const { return analysis_; }

    AnalysisMapView* MapView() const { return map_; }
    AnalysisCharts* Charts() const { return charts_; }
    QTableWidget* StatisticsTable() const { return stats_; }
    PairedSitesTable* PairedSites() const { return pairedSites_; }
    QLabel* PointerReadout() const { return readout_; }
    QPushButton* CompareButton() const { return compare_; }
    QComboBox* CompareOrderBox() const { return order_; }
    QDoubleSpinBox* CompareTimeBox() const { return time_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Building and wiring the controls (AnalysisWindowControls.cpp).
    void BuildControls();
    void ConnectControls();
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
    // The comparison's title and the button that ends it.
    void ShowComparison();
    void SaveImageClick(int scale);
    void SaveDataClick();
    AnnotatedContent ShownPicture() const;

    QString settingsPath_;
    ShownAnalysis analysis_;
    // The colours of the main window's last drawing.
    MapStyle style_;
    bool stale_ = true;           // the pictures and figures lag behind the main window
    std::optional<QLineF> line_;  // the dragged profile line, file units
    bool settingControls_ = false;
    Dialogs& dialogs_;

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
    PairedSitesTable* pairedSites_ = nullptr;
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
