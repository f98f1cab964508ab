#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

#include "analysis/RecordCsvText.h"
#include "core/Codes.h"
#include "core/Message.h"
#include "data/XyzText.h"
#include "report/AnnotatedPicture.h"
#include "report/QtWholeFile.h"
#include "ui/AnalysisWindow.h"
#include "ui/Dialogs.h"
#include "ui/Main.h"
#include "ui/RoiOverlay.h"
#include "ui/SettingsIni.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/ImageBox.h"
#include "ui/widgets/ShapeSwatch.h"

// The main window's files: loading a .thk file, pasted text or a table
// imported through the Import dialog, the caption and the recent files, and
// the map saved as a picture or as data.

int TForm1::OpenThkData(const QString& fileName, bool fromClipboard) {
    if (fromClipboard)
        return session_.Open(
            [this](ThkData& raw, const MessageSink& messages) { return PasteThkData(raw, messages); });
    return session_.OpenFile(fileName.isEmpty() ? std::string() : QFile::encodeName(fileName).toStdString());
}

int TForm1::PasteThkData(ThkData& record, const MessageSink& messages) {
    return PasteXyzText(QGuiApplication::clipboard()->text().toStdString(), record, messages);
}

int TForm1::OpenFileByPath(const QString& rawPath) {
    QString path = rawPath;
    path.remove(QLatin1Char('"'));
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    if (ext.compare(QLatin1String(".csv"), Qt::CaseInsensitive) == 0 ||
        ext.compare(QLatin1String(".txt"), Qt::CaseInsensitive) == 0)
        return ImportTableFile(path) == 1 ? 1 : -1;
    if (ext.compare(QLatin1String(".thk"), Qt::CaseInsensitive) != 0) {
        dialogs_.ShowMessage("Unknown File Ext Name -> [" + ext.toStdString() + "].");
        return -1;
    }
    if (OpenThkData(path, false) != 1) return -1;
    FileShown(path);
    return 1;
}

void TForm1::Btn_LoadClick() {
    const auto chosen =
        dialogs_.OpenFile(this,
                          QStringLiteral("Thickness data (*.thk *.csv *.txt);;Thickness data file (*.thk);;"
                                         "Thickness table (*.csv *.txt)"),
                          QStringLiteral("thk"));
    if (!chosen) return;
    const QString suffix = QFileInfo(*chosen).suffix();
    if (suffix.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0 ||
        suffix.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0) {
        if (ImportTableFile(*chosen) == 1) RedrawAll();
        return;
    }
    if (OpenThkData(*chosen, false) != 1) return;
    FileShown(*chosen);
    RedrawAll();
}

void TForm1::Btn_PasteClick() {
    if (OpenThkData(QString(), true) == 1) FileShown(QString());
}

int TForm1::ImportTableFile(const QString& path) {
    SourceInput source;
    const int asked = AskSource(dialogs_, this, path, source);
    if (asked != 1) return asked;
    if (session_.OpenSource(source) != 1) return -1;
    FileShown(path);
    return 1;
}

void TForm1::FileShown(const QString& path) {
    loadedFile_ = path;
    setWindowTitle(path.isEmpty() ? designedCaption_
                                  : designedCaption_ + QStringLiteral(" - ") + QFileInfo(path).fileName());
    if (analysis_) analysis_->SetSourceName(path);
    if (path.isEmpty()) return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Another viewer sharing the settings folder may have opened files since
    // this one read the list: the file's entries are merged in, newest
    // first, so neither viewer's files are lost.
    const QStringList ours = recentFiles_;
    LoadRecentFiles();
    for (const QString& file : ours)
        if (!recentFiles_.contains(file)) recentFiles_.append(file);
    recentFiles_.removeAll(absolute);
    recentFiles_.prepend(absolute);
    while (recentFiles_.size() > RecentFileCount)
        recentFiles_.removeLast();
    SaveRecentFiles();
}

void TForm1::LoadRecentFiles() {
    const IniSection recent = ReadIniSection(
        QFileInfo(SettingsPath()).absoluteDir().filePath(RecentFilesName()), QStringLiteral("Recent"));
    recentFiles_ = IniStringList(recent.value(QStringLiteral("Files")));
    recentFiles_.removeAll(QString());
    while (recentFiles_.size() > RecentFileCount)
        recentFiles_.removeLast();
}

void TForm1::SaveRecentFiles() const {
    // A list that cannot be kept is no error worth a message box.
    WriteIniSection(QFileInfo(SettingsPath()).absoluteDir().filePath(RecentFilesName()),
                    QStringLiteral("Recent"), {{QStringLiteral("Files"), IniListText(recentFiles_)}});
}

QMenu* TForm1::RecentFilesMenu() {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (recentFiles_.isEmpty()) menu->addAction(QStringLiteral("(no recent files)"))->setEnabled(false);
    for (const QString& path : recentFiles_)
        connect(menu->addAction(path), &QAction::triggered, this, [this, path] {
            if (OpenFileByPath(path) == 1) RedrawAll();
        });
    return menu;
}

void TForm1::BuildMapMenu() {
    mapMenu_ = new QMenu(this);
    for (int scale : {1, 2, 4})
        connect(mapMenu_->addAction(QStringLiteral("Save Image (%1x)...").arg(scale)), &QAction::triggered,
                this, [this, scale] { SaveImageClick(scale); });
    mapMenu_->addSeparator();
    connect(mapMenu_->addAction(QStringLiteral("Save Data...")), &QAction::triggered, this,
            &TForm1::SaveDataClick);
}

AnnotatedContent TForm1::ShownPicture() const {
    const ThkData& record = session_.Record(lastPlan_.Shown);
    AnnotatedRequest request;
    request.Draw = lastPlan_.Draw;
    request.Ramp = lastPlan_.Ramp;
    request.Style = CurrentMapStyle();
    request.Sites =
        Chk_Sites->isChecked() && (lastPlan_.Shown == DataKind::Raw || lastPlan_.Shown == DataKind::Grid);
    const ViewSettings& s = session_.Settings();
    const QPoint image = Img_Colormap->pos();
    for (int i = 0; i < 2; ++i) {
        if (!session_.RoiShown(i) || Roi->Outline(i)->isHidden()) continue;
        RoiOutline outline;
        outline.Rect = Roi->Outline(i)->geometry().translated(-image);
        outline.Ellipse = s.RoiType[static_cast<std::size_t>(i)] == RoiShape::Circle;
        outline.Pen = QColor::fromRgb(ColorToArgb(s.RoiColor[static_cast<std::size_t>(i)]));
        for (ClickLabel* label : {Roi->MinLabel(i), Roi->MaxLabel(i), Roi->MeanLabel(i)})
            if (!label->isHidden()) outline.Labels.push_back({label->pos() - image, label->text()});
        request.Rois.push_back(outline);
    }
    if (analysis_) request.Wafer = analysis_->Wafer();
    request.FileName =
        loadedFile_.isEmpty() ? QStringLiteral("(no file)") : QFileInfo(loadedFile_).fileName();
    request.DataType = QString::fromLatin1(DataKindName(lastPlan_.Shown));
    AnalysisRequest analysis;
    analysis.Wafer = request.Wafer;
    AnalysisResult figures;
    // The analysis window only ever holds a checked wafer.
    AnalyzeRecord(record, &session_.Record(DataKind::Raw), analysis, figures, dialogs_.Messages());
    return MakeAnnotatedContent(record, &session_.Record(DataKind::Raw), figures, request);
}

int TForm1::SaveImage(const QString& path, int scale) {
    ReadControls();
    if (!session_.Record(lastPlan_.Shown).Valid) {
        dialogs_.ShowMessage("There is no data to save.");
        return -1;
    }
    return WriteAnnotatedPicture(path, ShownPicture(), scale, dialogs_.Messages());
}

int TForm1::SaveData(const QString& path) {
    ReadControls();
    const ThkData& record = session_.Record(lastPlan_.Shown);
    if (!record.Valid) {
        dialogs_.ShowMessage("There is no data to save.");
        return -1;
    }
    const WaferGeometry wafer = analysis_ ? analysis_->Wafer() : WaferGeometry{};
    const std::string text = RecordCsvText(record, FrameOf(wafer, record.Size));
    return WriteFileWhole(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())),
                          dialogs_.Messages());
}

void TForm1::SaveImageClick(int scale) {
    const auto chosen =
        dialogs_.SaveFile(this, QStringLiteral("PNG image (*.png);;SVG image (*.svg);;PDF document (*.pdf)"),
                          QStringLiteral("png"));
    if (chosen && SaveImage(*chosen, scale) == 1) dialogs_.ShowMessage("Saved the image.");
}

void TForm1::SaveDataClick() {
    const auto chosen = dialogs_.SaveFile(this, QStringLiteral("CSV table (*.csv)"), QStringLiteral("csv"));
    if (chosen && SaveData(*chosen) == 1) dialogs_.ShowMessage("Saved the data.");
}
