#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "analysis/RecordCsvText.h"
#include "cli/Commands.h"
#include "report/AnnotatedPicture.h"
#include "support/MessageRecorder.h"
#include "ui/AnalysisWindow.h"
#include "ui/Application.h"
#include "ui/CsvImportDialog.h"
#include "ui/PairedSitesTable.h"
#include "ui/ScriptedDialogs.h"
#include "ui/widgets/ImageBox.h"
#include "ui/widgets/RadioGroup.h"

namespace {

using Messages = std::vector<std::string>;

// A film of Size size with a site every pitch units: value(x, y) per site.
QByteArray ThkFile(int size, const std::function<double(int, int)>& value, int pitch = 10) {
    QByteArray text =
        QByteArray::number(size) + '\n' + QByteArray::number(pitch) + ',' + QByteArray::number(pitch) + '\n';
    for (int x = 0; x <= size; x += pitch)
        for (int y = 0; y <= size; y += pitch)
            text += QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                    QByteArray::number(value(x, y), 'f', 3) + ",\n";
    return text;
}

double Dome(int x, int y) {
    return 500.0 + 0.01 * (x * (100 - x) + y * (100 - y)) + 0.1 * x;
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        forms_ = std::make_unique<MorvaplotForms>(dir_.path(), dialogs_);
        Form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    }

    TForm1& Form() { return *forms_->Form1; }

    QString Write(const QString& name, const QByteArray& content) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<MorvaplotForms> forms_;
};

// Tables come in through the Import dialog and the session's Open; the
// caption names the file shown, and the recent files follow every load and
// outlive the window.
TEST_F(FilesTest, ImportCaptionAndRecentFiles) {
    const QString designed = QStringLiteral("Morvaplot Ver.0.02a");
    ASSERT_EQ(Form().windowTitle(), designed);
    // X and Y in mm from the centre of a 100 mm wafer, the thickness among
    // other columns.
    QByteArray mm = "Site,X (mm),Y (mm),Thickness,Fit\n";
    for (int x = -50; x <= 50; x += 10)
        for (int y = -50; y <= 50; y += 10)
            mm += "1," + QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                  QByteArray::number(Dome(x + 50, y + 50), 'f', 3) + ",0\n";
    QByteArray cells;
    for (int x = 0; x <= 40; x += 10)
        for (int y = 0; y <= 40; y += 10)
            cells += QByteArray::number(x) + '\t' + QByteArray::number(y) + '\t' + QByteArray::number(x + y) +
                     '\n';
    CsvImportOptions inCells;
    inCells.Units = CsvUnits::Cells;
    CsvImportOptions inMm;
    inMm.Diameter = 100.0;

    struct Row {
        const char* what;
        QString file;
        QByteArray content;
        std::optional<CsvImportOptions> answer;  // the Import dialog's
        int result;
        int size;  // of the Raw record after the load
        int count;
        bool named;  // the caption names the file
        std::size_t messages;
    };
    const Row rows[] = {
        {"mm table", "wafer.csv", mm, inMm, 1, 100, 121, true, 0},
        {"tab table in cells", "cells.TXT", cells, inCells, 1, 40, 25, true, 0},
        {"import cancelled", "other.csv", mm, std::nullopt, -1, 40, 25, false, 0},
        {"unreadable line", "bad.csv", "x,y,z\n1,2,3\n4,abc,6\n", inCells, -1, 40, 25, false, 1},
        {"thk file", "dome.thk", ThkFile(100, Dome), std::nullopt, 1, 100, 121, true, 0},
    };
    QStringList loaded;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        dialogs_.ShownMessages.clear();
        const QString before = Form().windowTitle();
        const QString path = Write(r.file, r.content);
        if (r.file.endsWith(QLatin1String(".thk"))) {
            dialogs_.Files.push_back(path);
            Form().Btn_LoadClick();
        } else {
            dialogs_.Imports.push_back(r.answer);
            EXPECT_EQ(Form().OpenFileByPath(path), r.result);
        }
        EXPECT_EQ(dialogs_.ShownMessages.size(), r.messages);
        const ThkData& raw = Form().Flow().Record(DataKind::Raw);
        EXPECT_EQ(raw.Size, r.size);
        EXPECT_EQ(raw.Count, r.count);
        EXPECT_EQ(Form().windowTitle(), r.named ? designed + QStringLiteral(" - ") + r.file : before);
        if (r.named) loaded.prepend(QFileInfo(path).absoluteFilePath());
    }
    EXPECT_EQ(Form().RecentFiles(), loaded);

    // The last eight, newest first, a file loaded again moving to the top.
    for (int i = 0; i < 7; ++i)
        ASSERT_EQ(Form().OpenFileByPath(Write(QStringLiteral("f%1.thk").arg(i), ThkFile(100, Dome))), 1);
    ASSERT_EQ(Form().OpenFileByPath(dir_.filePath("wafer.csv")), 1);
    const QStringList recent = Form().RecentFiles();
    ASSERT_EQ(recent.size(), TForm1::RecentFileCount);
    EXPECT_EQ(recent.front(), QFileInfo(dir_.filePath("wafer.csv")).absoluteFilePath());
    EXPECT_EQ(recent[1], QFileInfo(dir_.filePath("f6.thk")).absoluteFilePath());
    EXPECT_EQ(recent.count(recent.front()), 1);
    QMenu* menu = Form().RecentFilesMenu();
    EXPECT_EQ(menu->actions().size(), TForm1::RecentFileCount);
    delete menu;

    // Two viewers on one settings folder: each one's load keeps the other's.
    MorvaplotForms second(dir_.path(), dialogs_);
    ASSERT_EQ(second.Form1->OpenFileByPath(dir_.filePath("f5.thk")), 1);
    ASSERT_EQ(Form().OpenFileByPath(dir_.filePath("f4.thk")), 1);
    EXPECT_EQ(Form().RecentFiles().mid(0, 3),
              (QStringList{QFileInfo(dir_.filePath("f4.thk")).absoluteFilePath(),
                           QFileInfo(dir_.filePath("f5.thk")).absoluteFilePath(), recent.front()}));
    for (const char* name : {"f5.thk", "f6.thk", "wafer.csv"})
        ASSERT_EQ(Form().OpenFileByPath(dir_.filePath(name)), 1);

    forms_.reset();
    MorvaplotForms again(dir_.path(), dialogs_);
    EXPECT_EQ(again.Form1->RecentFiles(), recent);
    QFile settings(again.Form1->SettingsPath());
    if (settings.open(QIODevice::ReadOnly)) {
        EXPECT_FALSE(settings.readAll().contains("wafer.csv"));
    }
}

// The Import dialog shows its choices and returns what its controls show:
// a new delimiter detects afresh, a column, the units and the diameter as
// picked.
TEST(CsvImportDialog, ReturnsWhatItsControlsShow) {
    CsvImportDialog dialog(QStringLiteral("t.csv"), "Site;X (mm);Y (mm);Thickness\n1;-10;0;500.5\n",
                           CsvImportOptions{});
    EXPECT_EQ(dialog.ColumnBox(2)->currentText(), QStringLiteral("4: Thickness"));
    EXPECT_EQ(dialog.Preview()->item(0, 3)->text(), QStringLiteral("500.5"));
    dialog.ColumnBox(0)->setCurrentIndex(0);
    dialog.UnitsBox()->setCurrentIndex(1);
    dialog.DiameterBox()->setValue(120.0);
    CsvImportOptions o = dialog.Options();
    EXPECT_EQ(std::vector<std::string>({o.XColumn, o.YColumn, o.ZColumn}),
              (std::vector<std::string>{"1", "3", "4"}));
    EXPECT_EQ(o.Units, CsvUnits::Cells);
    EXPECT_EQ(o.Diameter, 120.0);
    dialog.DelimiterBox()->setCurrentIndex(static_cast<int>(CsvDelimiter::Comma));
    EXPECT_EQ(dialog.ColumnBox(0)->count(), 1);
    o = dialog.Options();
    EXPECT_EQ(o.Delimiter, CsvDelimiter::Comma);
    // One header field that names no column: none chosen, the import asks.
    EXPECT_EQ(std::vector<std::string>({o.XColumn, o.YColumn, o.ZColumn}),
              (std::vector<std::string>{"", "", ""}));
}

// Save Image and Save Data from the main window (a plain right click opens
// their menu, a Ctrl+right click still places ROI 2) and from the analysis
// window, also while it shows a difference (a file compared with itself);
// the main window's next drawing ends the comparison.
TEST_F(FilesTest, SaveImageDataAndCompare) {
    const QString dome = Write("dome.thk", ThkFile(100, Dome));
    ASSERT_EQ(Form().OpenFileByPath(dome), 1);
    Form().Btn_CalcClick();
    Form().Btn_FillClick();
    const ThkData& fill = Form().Flow().Record(DataKind::Fill);
    ASSERT_TRUE(fill.Valid);

    ImageBox* map = Form().Img_Colormap;
    auto press = [map](Qt::KeyboardModifiers modifiers) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(150, 150), map->mapToGlobal(QPointF(150, 150)),
                          Qt::RightButton, Qt::RightButton, modifiers);
        QApplication::sendEvent(map, &event);
    };
    press(Qt::ControlModifier);
    EXPECT_TRUE(Form().Flow().RoiShown(1));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    press(Qt::NoModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), Form().MapMenu());
    Form().MapMenu()->close();

    const QString png = dir_.filePath("map.png");
    ASSERT_EQ(Form().SaveImage(png, 2), 1);
    EXPECT_EQ(QImage(png).size(), (AnnotatedPictureSize() * 2).toSize());
    const QString csv = dir_.filePath("fill.csv");
    ASSERT_EQ(Form().SaveData(csv), 1);
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), RecordCsvText(fill, FrameOf(WaferGeometry{}, fill.Size)));

    Form().Btn_Analysis->click();
    auto* window = Form().findChild<AnalysisWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_EQ(window->CompareWith(dome, DifferenceOrder::FirstMinusSecond, 0.0), 1);
    EXPECT_EQ(window->StatisticsTable()->horizontalHeaderItem(0)->text(), QStringLiteral("Difference"));
    EXPECT_EQ(&Form().Flow().Record(DataKind::Fill), &fill);
    const QString diffCsv = dir_.filePath("diff.csv");
    ASSERT_EQ(window->SaveData(diffCsv), 1);
    QFile diff(diffCsv);
    ASSERT_TRUE(diff.open(QIODevice::ReadOnly));
    EXPECT_EQ(diff.readAll().toStdString(),
              RecordCsvText(*window->ShownRecord(), FrameOf(WaferGeometry{}, 100)));
    ASSERT_EQ(window->SaveImage(dir_.filePath("diff.svg"), 1), 1);

    Form().Rdo_DataType->SetItemIndex(0);
    EXPECT_FALSE(window->Comparing());
    EXPECT_EQ(window->StatisticsTable()->horizontalHeaderItem(0)->text(), QStringLiteral("Raw"));
}

// The analysis window's Compare and the command line's diff are one
// comparison: on the same pair of files, Fill data with the default settings
// (the radius search on), the same difference to the last bit. The second
// file's sites are twice as far apart, so a radius of its own would show.
TEST_F(FilesTest, WindowCompareIsTheCommandLineDiff) {
    const QString first = Write("dome.thk", ThkFile(100, Dome));
    const QString second =
        Write("sparse.thk", ThkFile(
                                100, [](int x, int y) { return 480.0 + 0.2 * x - 0.07 * y; }, 20));
    ASSERT_EQ(Form().OpenFileByPath(first), 1);
    Form().Btn_CalcClick();
    Form().Btn_FillClick();
    Form().Btn_Analysis->click();
    auto* window = Form().findChild<AnalysisWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->CompareWith(second, DifferenceOrder::FirstMinusSecond, 0.0), 1);
    // Every site is listed; those paired with a measured partner (not read
    // off the other surface) are the ones the Sites column counts.
    PairedSitesTable* paired = window->PairedSites();
    int measured = 0;
    for (int r = 0; r < paired->rowCount(); ++r)
        measured += paired->item(r, 6)->text().isEmpty() ? 1 : 0;
    EXPECT_EQ(paired->rowCount(), 121);
    EXPECT_EQ(QString::number(measured), window->StatisticsTable()->item(0, 1)->text());

    const QString csv = dir_.filePath("diff.csv");
    ASSERT_EQ(RunCli({"diff", first.toStdString(), second.toStdString(), "--out", csv.toStdString()}, stdout,
                     stderr),
              0);
    QFile written(csv);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    // Values with 17 significant digits: equal texts are equal doubles.
    EXPECT_EQ(written.readAll().toStdString(), RecordCsvText(*window->ShownRecord(), FrameOf({}, 100)));
}

}  // namespace
