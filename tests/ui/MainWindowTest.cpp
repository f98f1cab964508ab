#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "colour/ColorScale.h"
#include "colour/SitesOverlay.h"
#include "core/NumberText.h"
#include "render3d/GlRequirement.h"
#include "render3d/Offscreen3D.h"
#include "roi/RoiDisplay.h"
#include "roi/RoiStats.h"
#include "session/ParameterFile.h"
#include "support/MessageRecorder.h"
#include "ui/Application.h"
#include "ui/DataTableModel.h"
#include "ui/Makedata.h"
#include "ui/RoiOverlay.h"
#include "ui/ScriptedDialogs.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/FitLabel.h"
#include "ui/widgets/ImageBox.h"
#include "ui/widgets/RadioGroup.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

using Messages = std::vector<std::string>;

// A Size-100 pitch-10 film: a gentle dome, so every calculation node at
// pitch 20 sits on a data cell.
QByteArray DomeFile() {
    QByteArray text = "100\n10,10\n";
    for (int x = 0; x <= 100; x += 10)
        for (int y = 0; y <= 100; y += 10)
            text += QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                    QByteArray::number(500.0 + 0.01 * (x * (100 - x) + y * (100 - y)) + 0.1 * x, 'f', 3) +
                    ",\n";
    return text;
}

// A pointer move over the map as the window system delivers it.
void MoveOver(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// The second press of a quick pair, as the window system delivers it.
void DoublePress(QWidget* widget, Qt::MouseButton button, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), button, button,
                      Qt::ControlModifier);
    QApplication::sendEvent(widget, &press);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        forms_ = std::make_unique<MorvaplotForms>(dir_.path(), dialogs_);
    }

    TForm1& Form() { return *forms_->Form1; }

    void Show() {
        Form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    }

    QString Write(const QString& name, const QByteArray& content) {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    // Drops the files and, unless told otherwise, lets the event loop handle
    // the drop as it does after the drop event.
    void Drop(const QStringList& paths, bool handle = true) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Form(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Form(), &drop);
        ASSERT_TRUE(drop.isAccepted());
        if (handle) QCoreApplication::processEvents();
    }

    std::vector<QString> RangeTexts() {
        std::vector<QString> texts;
        for (QLabel* l : Form().Lbl_Cont_Range)
            texts.push_back(l->text());
        texts.push_back(Form().Lbl_Mean->text());
        return texts;
    }

    enum class State { NoData, RawLoaded, AfterCalc, AfterFill };

    // The main window's state table: items enabled/selected and buttons.
    void ExpectState(State s) {
        TForm1& f = Form();
        const bool raw = s != State::NoData;
        const bool grid = s == State::AfterCalc || s == State::AfterFill;
        const bool fill = s == State::AfterFill;
        EXPECT_EQ(f.Rdo_DataType->ItemEnabled(0), raw);
        EXPECT_EQ(f.Rdo_DataType->ItemEnabled(1), grid);
        EXPECT_EQ(f.Rdo_DataType->ItemEnabled(2), fill);
        EXPECT_EQ(f.Btn_Calc->isEnabled(), raw);
        EXPECT_EQ(f.Btn_Fill->isEnabled(), grid);
        EXPECT_EQ(f.Btn_Copy_Image->isEnabled(), raw);
        EXPECT_EQ(f.Btn_Copy_Data->isEnabled(), raw);
        EXPECT_EQ(f.Btn_3D->isEnabled(), fill);
        if (s != State::NoData) {
            EXPECT_EQ(f.Rdo_DataType->ItemIndex(), fill ? 2 : grid ? 1 : 0);
        }
    }

    QTemporaryDir dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<MorvaplotForms> forms_;
};

TEST_F(MainWindowTest, StartsEmptyWithDesignedControls) {
    Show();
    TForm1& f = Form();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Morvaplot Ver.0.02a"));
    EXPECT_EQ(f.size(), QSize(418, 411));
    EXPECT_EQ(f.Img_Colormap->size(), QSize(301, 301));
    EXPECT_EQ(f.Img_ColorBar->size(), QSize(9, 265));
    EXPECT_EQ(f.Lbl_SearchRad->text(), QStringLiteral("80.0"));
    EXPECT_FALSE(f.Lbl_SearchRad->isEnabled());
    EXPECT_TRUE(f.Lbl_MinDataCount->isEnabled());
    EXPECT_FALSE(f.Btn_ColorSetting->isEnabled());
    EXPECT_FALSE(f.Cmb_DrawType->isEnabled());
    EXPECT_EQ(f.Cmb_DrawType->itemText(1), QStringLiteral("Countour"));
    for (const QString& t : RangeTexts())
        EXPECT_EQ(t, QStringLiteral("---.---"));
    ExpectState(State::NoData);
    EXPECT_EQ(f.DataTable()->Cell(0, 0), QStringLiteral("X"));
    EXPECT_EQ(f.DataTable()->Cell(2, 0), QStringLiteral("Thk"));
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    // No data: the whole map shows the back colour.
    EXPECT_EQ(f.Img_Colormap->Picture().pixel(150, 150), 0xFF000000u);
}

TEST_F(MainWindowTest, GoodFileLeadsToRawLoaded) {
    Show();
    const QString path = Write("dome.thk", DomeFile());
    EXPECT_EQ(Form().OpenFileByPath(path), 1);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    ExpectState(State::RawLoaded);
    const ThkData& raw = Form().Flow().Record(DataKind::Raw);
    EXPECT_EQ(raw.Count, 121);
    // Every node of the pitch-20 lattice holds a data cell: the radius is the pitch.
    EXPECT_EQ(Form().Lbl_SearchRad->text(), QStringLiteral("20.0"));
    // Data table: X-major rows after the header.
    const DataTableModel& table = *Form().DataTable();
    EXPECT_EQ(table.RowCount(), 122);
    EXPECT_EQ(table.Cell(0, 1), QStringLiteral("0"));
    EXPECT_EQ(table.Cell(1, 2), QStringLiteral("10"));
    EXPECT_EQ(table.Cell(2, 1), QStringLiteral("500.000"));
    EXPECT_EQ(table.Cell(0, 121), QStringLiteral("100"));
    EXPECT_EQ(table.Cell(1, 121), QStringLiteral("100"));
    // Labels: minimum at the bottom, maximum at the top, mean in 8 digits.
    EXPECT_EQ(Form().Lbl_Cont_Range[0]->text().toStdString(), FormatFixed(raw.Min, 7, 3));
    EXPECT_EQ(Form().Lbl_Cont_Range[4]->text().toStdString(), FormatFixed(raw.Max, 7, 3));
    EXPECT_EQ(Form().Lbl_Mean->text().toStdString(), FormatFixed(raw.Mean, 8, 3));
    // The map shows data now: the top-left pixel samples cell (0, 0).
    EXPECT_NE(Form().Img_Colormap->Picture().pixel(0, 0), 0xFF000000u);
}

// A failed load shows its one message and leaves the loaded file, the map's
// labels and the table as they were.
TEST_F(MainWindowTest, ReaderFailureShowsOneMessageAndKeepsTheLoadedFile) {
    Show();
    ASSERT_EQ(Form().OpenFileByPath(Write("good.thk", DomeFile())), 1);
    QTest::mouseClick(Form().Img_Colormap, Qt::LeftButton, Qt::ControlModifier, QPoint(150, 150));
    MoveOver(Form().Img_Colormap, {120, 90});
    const std::vector<QString> ranges = RangeTexts();
    const QString firstCell = Form().DataTable()->Cell(2, 1);
    const QImage map = Form().Img_Colormap->Picture().copy();
    const QString roiMean = Form().Roi->Lbl_ROI_Mean_1->text();
    const QString readOut = Form().Lbl_Cursor_Data->text();
    struct Bad {
        const char* content;
        std::string message;
    } cases[] = {
        {"0\n10,10\n", "Size data error.(<=0 or >500) -> 0"},
        {"100\n10,0\n", "X/Y Pitch data error. X:10 Y:0"},
        {"100\n10,10\n0,0,1,\n15,0,1,\n", "X coord is not multiple of X-Pitch. -> 15 X-Pitch= 10"},
        {"100\n10,10\n0,0,1;\n", "Incorrect data. -> ';(3B)' Line: 2"},
        {"100\n10,10\n", "Data count is zero."},
    };
    for (const Bad& bad : cases) {
        dialogs_.ShownMessages.clear();
        EXPECT_EQ(Form().OpenFileByPath(Write("bad.thk", bad.content)), -1);
        EXPECT_EQ(dialogs_.ShownMessages, Messages{bad.message});
        ExpectState(State::RawLoaded);
        EXPECT_TRUE(Form().Flow().Record(DataKind::Raw).Valid);
        EXPECT_EQ(RangeTexts(), ranges);
        EXPECT_EQ(Form().DataTable()->Cell(2, 1), firstCell);
        EXPECT_EQ(Form().Img_Colormap->Picture(), map);
        EXPECT_TRUE(Form().Roi->Shp_ROI_1->isVisible());
        EXPECT_EQ(Form().Roi->Lbl_ROI_Mean_1->text(), roiMean);
        EXPECT_EQ(Form().Lbl_Cursor_Data->text(), readOut);
    }
    dialogs_.ShownMessages.clear();
    const QString missing = dir_.filePath("missing.thk");
    EXPECT_EQ(Form().OpenFileByPath(missing), -1);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"File open error. -> " + missing.toStdString()});
}

TEST_F(MainWindowTest, DroppedFilesFollowTheExtensionRules) {
    Show();
    const QString thk = Write("a.thk", DomeFile());
    Drop({thk, thk});
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"This application is able to load only single file."});
    ExpectState(State::NoData);

    dialogs_.ShownMessages.clear();
    Drop({Write("notes.dat", DomeFile())});
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Unknown File Ext Name -> [.dat]."});
    ExpectState(State::NoData);

    dialogs_.ShownMessages.clear();
    Drop({Write("noext", DomeFile())});
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Unknown File Ext Name -> []."});

    dialogs_.ShownMessages.clear();
    Drop({Write("CAPS.THK", DomeFile())});
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    ExpectState(State::RawLoaded);
}

TEST_F(MainWindowTest, DropIsHandledAfterTheDropEventReturns) {
    Show();
    Form().Chk_AutoFill->setChecked(true);
    Drop({Write("dome.thk", DomeFile())}, false);
    ExpectState(State::NoData);  // the file manager is released before the load
    Drop({Write("a.txt", "x"), Write("b.txt", "y")}, false);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"This application is able to load only single file."});
    ExpectState(State::AfterFill);
}

TEST_F(MainWindowTest, FileOnCommandLineIsLoadedWhenShown) {
    const QString path = Write("with space.thk", DomeFile());
    Form().SetCommandLine(QStringLiteral("\"") + path + QStringLiteral("\""));
    Show();
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    ExpectState(State::RawLoaded);
    EXPECT_EQ(Form().Flow().Record(DataKind::Raw).Count, 121);
}

TEST_F(MainWindowTest, LoadButtonUsesTheOpenDialog) {
    Show();
    dialogs_.Files.push_back(std::nullopt);
    QTest::mouseClick(Form().Btn_Load, Qt::LeftButton);
    EXPECT_EQ(dialogs_.FileCalls, 1);
    EXPECT_TRUE(dialogs_.LastFilter.startsWith(QStringLiteral("Thickness data (*.thk *.csv *.txt);;")));
    EXPECT_EQ(dialogs_.LastSuffix, QStringLiteral("thk"));
    ExpectState(State::NoData);

    dialogs_.Files.push_back(Write("picked.thk", DomeFile()));
    QTest::mouseClick(Form().Btn_Load, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    ExpectState(State::RawLoaded);
}

TEST_F(MainWindowTest, ExpandingTwiceRestoresTheShortWindow) {
    Show();
    // Each state has one size: it can be neither maximised nor dragged.
    EXPECT_FALSE(Form().windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const auto expectFixed = [&](int height) {
        EXPECT_EQ(Form().height(), height);
        EXPECT_EQ(Form().minimumSize(), QSize(TForm1::ClientWidth, height));
        EXPECT_EQ(Form().maximumSize(), QSize(TForm1::ClientWidth, height));
    };
    expectFixed(TForm1::ShortClientHeight);
    QTest::mouseClick(Form().Btn_Expand, Qt::LeftButton);
    EXPECT_TRUE(Form().Expanded);
    expectFixed(TForm1::TallClientHeight);
    EXPECT_EQ(Form().Btn_Expand->text(), QStringLiteral("\u25B2"));
    QTest::mouseClick(Form().Btn_Expand, Qt::LeftButton);
    EXPECT_FALSE(Form().Expanded);
    expectFixed(TForm1::ShortClientHeight);
    EXPECT_EQ(Form().Btn_Expand->text(), QStringLiteral("\u25BC"));
}

TEST_F(MainWindowTest, CalcFillAndAutoFillFollowTheStateTable) {
    Show();
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    QTest::mouseClick(Form().Btn_Calc, Qt::LeftButton);
    ExpectState(State::AfterCalc);
    const ThkData& grid = Form().Flow().Record(DataKind::Grid);
    EXPECT_TRUE(grid.Valid);
    EXPECT_TRUE(HasData(grid.Value[20][40]));
    EXPECT_FALSE(HasData(grid.Value[10][40]));
    // The table now lists the Grid nodes: 6 x 6.
    EXPECT_EQ(Form().DataTable()->RowCount(), 37);
    EXPECT_FALSE(Form().Cmb_DrawType->isEnabled());

    QTest::mouseClick(Form().Btn_Fill, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    ExpectState(State::AfterFill);
    EXPECT_TRUE(Form().Cmb_DrawType->isEnabled());
    EXPECT_TRUE(HasData(Form().Flow().Record(DataKind::Fill).Value[37][91]));

    // A new load keeps the Grid and Fill items enabled but empties the records.
    ASSERT_EQ(Form().OpenFileByPath(Write("again.thk", DomeFile())), 1);
    EXPECT_TRUE(Form().Rdo_DataType->ItemEnabled(2));
    EXPECT_EQ(Form().Rdo_DataType->ItemIndex(), 0);
    EXPECT_FALSE(Form().Flow().Record(DataKind::Fill).Valid);

    Form().Chk_AutoFill->setChecked(true);
    ASSERT_EQ(Form().OpenFileByPath(Write("auto.thk", DomeFile())), 1);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    ExpectState(State::AfterFill);
}

TEST_F(MainWindowTest, FailedAutoFillLeavesGridSelected) {
    Show();
    Form().Chk_AutoFill->setChecked(true);
    // The message box of the failure must not wait under the busy cursor.
    std::vector<bool> busyAtMessage;
    dialogs_.OnMessage = [&](const std::string&) {
        busyAtMessage.push_back(QApplication::overrideCursor() != nullptr);
    };
    // Size 60 at calculation pitch 20 has only 3 steps: too few for degree 3.
    QByteArray small = "60\n10,10\n";
    for (int x = 0; x <= 60; x += 10)
        for (int y = 0; y <= 60; y += 10)
            small += QByteArray::number(x) + ',' + QByteArray::number(y) + ",5,\n";
    ASSERT_EQ(Form().OpenFileByPath(Write("small.thk", small)), 1);
    dialogs_.OnMessage = nullptr;
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"No enough to fill data.(X count= 3)"});
    EXPECT_EQ(busyAtMessage, std::vector<bool>{false});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Form().Rdo_DataType->ItemIndex(), 1);
    EXPECT_FALSE(Form().Btn_3D->isEnabled());
}

TEST_F(MainWindowTest, RawRangeDecidesTheScaleOfGridData) {
    Show();
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    const ThkData& raw = Form().Flow().Record(DataKind::Raw);
    QTest::mouseClick(Form().Btn_Calc, Qt::LeftButton);
    EXPECT_EQ(Form().Lbl_Cont_Range[0]->text().toStdString(), FormatFixed(raw.Min, 7, 3));
    EXPECT_EQ(Form().Lbl_Cont_Range[4]->text().toStdString(), FormatFixed(raw.Max, 7, 3));

    QTest::mouseClick(Form().Chk_RawRange, Qt::LeftButton);
    const ThkData& grid = Form().Flow().Record(DataKind::Grid);
    EXPECT_NE(grid.Min, raw.Min);  // weighted means stay inside the data range
    EXPECT_EQ(Form().Lbl_Cont_Range[0]->text().toStdString(), FormatFixed(grid.Min, 7, 3));
    EXPECT_EQ(Form().Lbl_Cont_Range[4]->text().toStdString(), FormatFixed(grid.Max, 7, 3));
}

TEST_F(MainWindowTest, RadOptimizeSwitchesWhichLabelIsEditable) {
    Show();
    QTest::mouseClick(Form().Chk_RadOptimize, Qt::LeftButton);
    EXPECT_TRUE(Form().Lbl_SearchRad->isEnabled());
    EXPECT_FALSE(Form().Lbl_MinDataCount->isEnabled());
    // Without optimisation a load keeps the typed radius.
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    EXPECT_EQ(Form().Lbl_SearchRad->text(), QStringLiteral("80.0"));
    QTest::mouseClick(Form().Chk_RadOptimize, Qt::LeftButton);
    EXPECT_FALSE(Form().Lbl_SearchRad->isEnabled());
    EXPECT_TRUE(Form().Lbl_MinDataCount->isEnabled());
}

TEST_F(MainWindowTest, ColormapSwitchEnablesGradationSettingAndBackSwatchRecolours) {
    Show();
    ASSERT_EQ(Form().OpenFileByPath(Write("sparse.thk", "100\n10,10\n50,50,7,\n")), 1);
    QTest::mouseClick(Form().Chk_Colormap, Qt::LeftButton);
    EXPECT_TRUE(Form().Btn_ColorSetting->isEnabled());
    QTest::mouseClick(Form().Chk_Colormap, Qt::LeftButton);
    EXPECT_FALSE(Form().Btn_ColorSetting->isEnabled());

    // Pixel (0, 0) samples the empty cell (0, 0): it takes the back colour.
    EXPECT_EQ(Form().Img_Colormap->Picture().pixel(0, 0), 0xFF000000u);
    dialogs_.Colors.push_back(Color{0x00FF00});
    Form().Shp_ColorMouseDown(Form().Shp_Color_Back);
    EXPECT_EQ(dialogs_.LastInitialColor, 0x000000u);
    EXPECT_EQ(Form().Img_Colormap->Picture().pixel(0, 0), 0xFF00FF00u);
    // Cancel changes nothing.
    Form().Shp_ColorMouseDown(Form().Shp_Color_Back);
    EXPECT_EQ(Form().Shp_Color_Back->BrushColor(), 0x00FF00u);
}

TEST_F(MainWindowTest, CopyDataPutsTheTableOfTheShownRecordOnTheClipboard) {
    Show();
    ASSERT_EQ(Form().OpenFileByPath(Write("tiny.thk", "2\n1,1\n0,0,1.5,\n1,0,2.25,\n")), 1);
    QTest::mouseClick(Form().Btn_Copy_Data, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Copy data to clipboard."});
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("Y\xEF\xBC\xBCX\t0\t1\t2\t\n0\t1.500\t2.250\t\t\n1\t\t\t\t\n2\t\t\t\t\n"));

    // Grid data is listed at the calculation pitch, other data at every index.
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    QTest::mouseClick(Form().Btn_Calc, Qt::LeftButton);
    QTest::mouseClick(Form().Btn_Copy_Data, Qt::LeftButton);
    const QString grid = QGuiApplication::clipboard()->text();
    EXPECT_EQ(grid.left(grid.indexOf(QLatin1Char('\n'))),
              QString::fromUtf8("Y\xEF\xBC\xBCX\t0\t20\t40\t60\t80\t100\t"));

    dialogs_.ShownMessages.clear();
    QTest::mouseClick(Form().Btn_Copy_Image, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Copied graphic image to Clipboard."});
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(408, 310));
}

}  // namespace

namespace {

TEST_F(MainWindowTest, ContourDrawingForFillDataOnly) {
    Show();
    Form().Chk_AutoFill->setChecked(true);
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    ASSERT_EQ(Form().Rdo_DataType->ItemIndex(), 2);
    const QImage colourMap = Form().Img_Colormap->Picture().copy();

    Form().Cmb_DrawType->setCurrentIndex(1);
    Form().Cmb_DrawTypeChange();
    EXPECT_TRUE(Form().Lbl_BorderCount->isEnabled());
    EXPECT_TRUE(Form().Chk_CopyColormap->isEnabled());
    const QImage contours = Form().Img_Colormap->Picture().copy();
    EXPECT_NE(contours, colourMap);
    // Lines on black: most pixels are background, some carry a level colour.
    int black = 0;
    for (int y = 0; y < contours.height(); ++y)
        for (int x = 0; x < contours.width(); ++x)
            black += contours.pixel(x, y) == 0xFF000000u;
    EXPECT_GT(black, 301 * 301 * 8 / 10);
    EXPECT_LT(black, 301 * 301);
    // A full redraw leaves the labels in the 7-digit scale format.
    const ThkData& raw = Form().Flow().Record(DataKind::Raw);
    EXPECT_EQ(Form().Lbl_Cont_Range[0]->text().toStdString(), FormatFixed(raw.Min, 7, 3));

    // Copy Colormap redraws directly: grey underlay, labels in the contour format.
    QTest::mouseClick(Form().Chk_CopyColormap, Qt::LeftButton);
    EXPECT_EQ(Form().Lbl_Cont_Range[0]->text().toStdString(), FormatFixed(raw.Min, 5, 3));
    const QRgb centre = Form().Img_Colormap->Picture().pixel(150, 150);
    EXPECT_EQ(qRed(centre), qGreen(centre));
    EXPECT_EQ(qGreen(centre), qBlue(centre));
    EXPECT_GT(qRed(centre), 0);

    // The contour draw type does not apply to Grid data.
    Form().Rdo_DataType->SetItemIndex(1);
    EXPECT_FALSE(Form().Cmb_DrawType->isEnabled());
    EXPECT_EQ(Form().Lbl_Cont_Range[0]->text().toStdString(), FormatFixed(raw.Min, 7, 3));
    EXPECT_NE(Form().Img_Colormap->Picture().pixel(150, 150), centre);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
}

TEST_F(MainWindowTest, DataTableHoldsTheListedCellsOfTheLastLoadOnly) {
    Show();
    const DataTableModel& table = *Form().DataTable();
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    EXPECT_EQ(table.RowCount(), 122);
    // Cells beyond Size and repeated positions add no rows, and nothing of
    // the larger table before stays behind.
    ASSERT_EQ(Form().OpenFileByPath(
                  Write("beyond.thk", "100\n10,10\n0,0,1,\n500,0,2,\n10,10,3,\n10,10,4,\n10,10,5,\n")),
              1);
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Cell(2, 1), QStringLiteral("1.000"));
    EXPECT_EQ(table.Cell(2, 2), QStringLiteral("5.000"));
    EXPECT_EQ(table.Cell(2, 3), QString());
    EXPECT_EQ(table.Cell(0, 121), QString());
}

TEST_F(MainWindowTest, WithoutTheColormapTheMapTakesTheCommittedGradation) {
    Show();
    // Size 2: pixel 0 shows cell 0, pixel 150 cell 1 and pixel 300 cell 2.
    ASSERT_EQ(Form().OpenFileByPath(Write("three.thk", "2\n1,1\n0,0,10,\n1,1,20,\n2,2,30,\n")), 1);
    QTest::mouseClick(Form().Chk_Colormap, Qt::LeftButton);
    const GradationTable preset = ColormapPreset();
    const auto at = [&](int x, int y) { return ArgbToColor(Form().Img_Colormap->Picture().pixel(x, y)); };
    EXPECT_EQ(at(0, 0), preset.Colors[6]);      // the minimum: the last of the seven colours in use
    EXPECT_EQ(at(150, 150), preset.Colors[3]);  // half way
    EXPECT_EQ(at(300, 300), preset.Colors[0]);  // the maximum
}

TEST_F(MainWindowTest, MapEqualsTheBatchToolsPictureAfterTheSameClicks) {
    Show();
    const QString path = Write("dome.thk", DomeFile());
    Form().Chk_AutoFill->setChecked(true);
    ASSERT_EQ(Form().OpenFileByPath(path), 1);
    Form().Cmb_DrawType->setCurrentIndex(1);
    Form().Cmb_DrawTypeChange();
    const QImage contour = Form().Img_Colormap->Picture().copy();
    Form().Rdo_DataType->SetItemIndex(1);  // Grid, after a contour drawing
    const QImage grid = Form().Img_Colormap->Picture().copy();

    struct Case {
        const char* what;
        std::vector<std::string> options;
        const QImage& window;
    };
    const Case cases[] = {
        {"contour map of Fill", {"--data", "fill", "--draw", "contour"}, contour},
        {"grid after the contour map", {"--data", "grid", "--draw", "contour"}, grid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString png = dir_.filePath(QStringLiteral("map.png"));
        std::vector<std::string> args = {"image", path.toStdString(), "--out", png.toStdString()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        std::FILE* sink = std::tmpfile();
        ASSERT_NE(sink, nullptr);
        EXPECT_EQ(RunCli(args, sink, sink), 0);
        std::fclose(sink);
        EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32),
                  c.window.convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
}

TEST_F(MainWindowTest, ColourMapsMatchTheColourBarAfterAContourMap) {
    Show();
    Form().Chk_AutoFill->setChecked(true);
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    const QImage before = Form().Img_Colormap->Picture().copy();
    const QImage bar = Form().Img_ColorBar->Picture().copy();
    Form().Cmb_DrawType->setCurrentIndex(1);
    Form().Cmb_DrawTypeChange();
    EXPECT_NE(Form().Img_Colormap->Picture(), before);
    Form().Cmb_DrawType->setCurrentIndex(0);
    Form().Cmb_DrawTypeChange();
    EXPECT_EQ(Form().Img_Colormap->Picture(), before);
    // Redrawing the bar (Colormap off and on) gives the same bar.
    QTest::mouseClick(Form().Chk_Colormap, Qt::LeftButton);
    QTest::mouseClick(Form().Chk_Colormap, Qt::LeftButton);
    EXPECT_EQ(Form().Img_ColorBar->Picture(), bar);
    EXPECT_EQ(Form().Img_Colormap->Picture(), before);
}

TEST_F(MainWindowTest, ScaleLabelsShowTheWholeNumber) {
    Show();
    const QRect copied(4, 4, 408, 310);  // the Copy Image rectangle
    const auto expectWhole = [&](const QLabel* label) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
            << label->text().toStdString();
        EXPECT_TRUE(copied.contains(label->geometry())) << label->text().toStdString();
    };
    // Six-digit films, thick films in exponent form, negative values.
    for (const double value : {1014.855, 123644.56, 125000.0, -9999999.4, 99999999.4, -1.2345678e300}) {
        auto record = std::make_unique<ThkData>();
        ClearThkData(record.get(), 1);
        record->Valid = true;
        record->Min = value;
        record->Max = value * 1.1;
        record->Mean = value * 1.05;
        Form().UpdateScaleLabels(*record);
        EXPECT_EQ(Form().Lbl_Mean->text().toStdString(), FormatFixed(record->Mean, 8, 3));
        for (const QLabel* label : Form().Lbl_Cont_Range)
            expectWhole(label);
        expectWhole(Form().Lbl_Mean);
        // The value begins after its caption, with a gap.
        const int textLeft = Form().Lbl_Mean->geometry().right() -
                             Form().Lbl_Mean->fontMetrics().horizontalAdvance(Form().Lbl_Mean->text());
        const int captionRight =
            Form().Lbl_Mean_Lbl->x() +
            Form().Lbl_Mean_Lbl->fontMetrics().horizontalAdvance(Form().Lbl_Mean_Lbl->text());
        EXPECT_GE(textLeft - captionRight, 3) << Form().Lbl_Mean->text().toStdString();
    }
    // Ordinary values keep the design size.
    auto record = std::make_unique<ThkData>();
    ClearThkData(record.get(), 1);
    record->Valid = true;
    record->Min = 340.82;
    record->Max = 358.137;
    record->Mean = 350.016;
    Form().UpdateScaleLabels(*record);
    EXPECT_EQ(Form().Lbl_Mean->font().pixelSize(), 12);
    EXPECT_EQ(Form().Lbl_Cont_Range[4]->font().pixelSize(), 12);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(MainWindowTest, FirstRunWritesTheDesignedSettingsAndValuesSurviveARestart) {
    const QString path = dir_.filePath(QStringLiteral("setting.dat"));
    EXPECT_EQ(Form().SettingsPath(), path);
    EXPECT_EQ(ReadAll(path).toStdString(), ParameterFileText(ViewSettings{}));

    Show();
    Form().Chk_AutoFill->setChecked(true);
    QTest::mouseClick(Form().Chk_RadOptimize, Qt::LeftButton);
    QTest::mouseClick(Form().Chk_Colormap, Qt::LeftButton);
    Form().Lbl_CalcPitch->setText(QStringLiteral("15"));
    Form().Lbl_SearchRad->setText(QStringLiteral("33.3"));
    Form().Lbl_AverageWeight->setText(QStringLiteral("2.55"));
    Form().Lbl_BorderCount->setText(QStringLiteral("9"));
    Form().Cmb_ROI_FDigit_1->setCurrentIndex(4);
    Form().close();
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});

    forms_ = std::make_unique<MorvaplotForms>(dir_.path(), dialogs_);
    TForm1& f = Form();
    EXPECT_TRUE(f.Chk_AutoFill->isChecked());
    EXPECT_FALSE(f.Chk_RadOptimize->isChecked());
    EXPECT_TRUE(f.Lbl_SearchRad->isEnabled());  // as a click on the box would leave it
    EXPECT_FALSE(f.Lbl_MinDataCount->isEnabled());
    EXPECT_FALSE(f.Chk_Colormap->isChecked());
    EXPECT_TRUE(f.Btn_ColorSetting->isEnabled());
    EXPECT_EQ(f.Lbl_CalcPitch->text(), QStringLiteral("15"));
    EXPECT_EQ(f.Lbl_SearchRad->text(), QStringLiteral("33.3"));
    EXPECT_EQ(f.Lbl_AverageWeight->text(), QStringLiteral("2.55"));
    EXPECT_EQ(f.Lbl_BorderCount->text(), QStringLiteral("9"));
    EXPECT_EQ(f.Settings().BorderCount, 9);  // what the contour map is drawn with
    EXPECT_EQ(f.Cmb_ROI_FDigit_1->currentIndex(), 4);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
}

TEST_F(MainWindowTest, DamagedSettingsAreReportedAndRewritten) {
    forms_.reset();
    const QString path =
        Write("setting.dat", "Min_Color: 0\nMax_Color: 16777215\nBack_Color: 0\nAutoFill: 1\n");
    forms_ = std::make_unique<MorvaplotForms>(dir_.path(), dialogs_);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Parameter read error.(Colormap)"});
    EXPECT_FALSE(Form().StartupFailed());
    EXPECT_FALSE(Form().Chk_AutoFill->isChecked());  // the controls keep their designed values
    EXPECT_EQ(ReadAll(path).toStdString(), ParameterFileText(ViewSettings{}));
}

TEST_F(MainWindowTest, UnwritableProgramFolderKeepsSettingsPerUser) {
    forms_.reset();
    QStandardPaths::setTestModeEnabled(true);
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir(user).removeRecursively();
    // A folder below a plain file can be neither created nor written, even by root.
    const QString blocked = Write("plain-file", "x") + QStringLiteral("/program");
    forms_ = std::make_unique<MorvaplotForms>(blocked, dialogs_);
    EXPECT_FALSE(Form().StartupFailed());
    EXPECT_EQ(Form().SettingsPath(), QDir(user).filePath(QStringLiteral("setting.dat")));
    EXPECT_EQ(ReadAll(Form().SettingsPath()).toStdString(), ParameterFileText(ViewSettings{}));
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    forms_.reset();
    QDir(user).removeRecursively();
    QStandardPaths::setTestModeEnabled(false);
}

// Presses button once dialog is the active modal window.
void PressWhenShown(QDialog* dialog, QPushButton* button) {
    auto* timer = new QTimer(dialog);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, dialog, button] {
        if (QApplication::activeModalWidget() != dialog) return;
        timer->deleteLater();
        QTest::mouseClick(button, Qt::LeftButton);
    });
    timer->start(20);
}

TEST_F(MainWindowTest, RandomDataIsTreatedLikeLoadedData) {
    Show();
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    TDataMake& maker = *forms_->DataMake;
    PressWhenShown(&maker, maker.Btn_Cancel);
    Form().Lbl_DataMakeDblClick();
    EXPECT_EQ(Form().Flow().Record(DataKind::Raw).Count, 121);  // Cancel changes nothing

    maker.Seed = 7u;
    Form().Chk_AutoFill->setChecked(true);
    PressWhenShown(&maker, maker.Btn_OK);
    Form().Lbl_DataMakeDblClick();
    const ThkData& raw = Form().Flow().Record(DataKind::Raw);
    EXPECT_EQ(raw.Size, 300);
    ExpectState(State::AfterFill);
    EXPECT_EQ(raw.Count, 100);
    // After the automatic Calc the table lists the 16 x 16 nodes of Size 300 at pitch 20.
    EXPECT_EQ(Form().DataTable()->RowCount(), 257);
    EXPECT_TRUE(Form().Flow().Record(DataKind::Fill).Valid);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
}

TEST_F(MainWindowTest, PasteTakesXyzTextFromTheClipboard) {
    Show();
    ASSERT_TRUE(Form().Btn_Paste->isEnabled());
    // Every node of the pitch-20 lattice over Size 20 holds a point.
    QGuiApplication::clipboard()->setText(
        QStringLiteral("20\t\t\r\n0\t0\t1.5\r\n0\t20\t2\r\n20\t0\t3\r\n20\t20\t2.5\r\n"));
    QTest::mouseClick(Form().Btn_Paste, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{});
    ExpectState(State::RawLoaded);
    EXPECT_EQ(Form().Flow().Record(DataKind::Raw).Value[20][20], 2.5);
    EXPECT_EQ(Form().DataTable()->RowCount(), 5);

    // An empty clipboard: the message, and the pasted data stay.
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(Form().Btn_Paste, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Data nothing on Clipboard."});
    ExpectState(State::RawLoaded);
    EXPECT_EQ(Form().Flow().Record(DataKind::Raw).Value[20][20], 2.5);
}

TEST_F(MainWindowTest, RoisArePlacedMovedRemovedAndCopiedWithCtrlClicks) {
    Show();
    TForm1& f = Form();
    RoiOverlay& roi = *f.Roi;
    const auto click = [&](QWidget* on, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(on, button, keys, at);
    };
    // Before any data the map does not react.
    click(f.Img_Colormap, Qt::LeftButton, {100, 100}, Qt::ControlModifier);
    EXPECT_FALSE(roi.Shp_ROI_1->isVisible());

    f.Chk_AutoFill->setChecked(true);
    ASSERT_EQ(f.OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    click(f.Img_Colormap, Qt::LeftButton, {100, 100}, Qt::NoModifier);  // without Ctrl: nothing
    click(f.Img_Colormap, Qt::MiddleButton, {100, 100}, Qt::ControlModifier);
    EXPECT_FALSE(roi.Shp_ROI_1->isVisible());
    EXPECT_FALSE(f.Btn_Copy_ROI->isEnabled());

    click(f.Img_Colormap, Qt::LeftButton, {60, 60}, Qt::ControlModifier);
    click(f.Img_Colormap, Qt::RightButton, {240, 240}, Qt::ControlModifier);
    EXPECT_TRUE(roi.Shp_ROI_1->isVisible());
    EXPECT_TRUE(roi.Shp_ROI_2->isVisible());
    EXPECT_TRUE(f.Btn_Copy_ROI->isEnabled());
    EXPECT_TRUE(roi.Lbl_ROI_Mean_1->text().startsWith(QStringLiteral("Mean: 5")));
    // A second Ctrl-left click moves ROI 1.
    click(f.Img_Colormap, Qt::LeftButton, {150, 40}, Qt::ControlModifier);
    EXPECT_EQ(roi.RoiPixelX[0], 150);
    EXPECT_EQ(roi.RoiPixelY[0], 40);

    dialogs_.ShownMessages.clear();
    QTest::mouseClick(f.Btn_Copy_ROI, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Copied ROI Data to Clipboard."});
    const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 8);                     // header, 3 lines per ROI, the final line break
    EXPECT_EQ(lines[0], QStringLiteral("\t\t\t"));  // the Fill record's name is empty
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("ROI1\tMin\t5")));
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("ROI2\tMean\t5")));

    // A Ctrl-click on ROI 2's outline removes ROI 2 only.
    click(roi.Shp_ROI_2, Qt::LeftButton, {2, roi.Shp_ROI_2->height() / 2}, Qt::ControlModifier);
    EXPECT_FALSE(roi.Shp_ROI_2->isVisible());
    EXPECT_TRUE(roi.Shp_ROI_1->isVisible());
    EXPECT_TRUE(f.Btn_Copy_ROI->isEnabled());

    // Raw data: the labels are measured on the raw cells, Copy ROI is off.
    const QString onFill = roi.Lbl_ROI_Max_1->text();
    f.Rdo_DataType->SetItemIndex(0);
    EXPECT_FALSE(f.Btn_Copy_ROI->isEnabled());
    EXPECT_NE(roi.Lbl_ROI_Max_1->text(), onFill);
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Copied ROI Data to Clipboard."});
}

TEST_F(MainWindowTest, PointerReadOutFollowsTheMouse) {
    Show();
    MoveOver(Form().Img_Colormap, {150, 150});
    EXPECT_EQ(Form().Lbl_Cursor_X->text(), QStringLiteral("---"));  // no data yet
    ASSERT_EQ(Form().OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    // Size 100: pixel 0 reads coordinate 0, pixel 300 reads 300 x 101 / 301 = 100.
    MoveOver(Form().Img_Colormap, {0, 0});
    EXPECT_EQ(Form().Lbl_Cursor_X->text(), QStringLiteral("0"));
    EXPECT_EQ(Form().Lbl_Cursor_Data->text(), QStringLiteral("500.000"));
    MoveOver(Form().Img_Colormap, {300, 3});
    EXPECT_EQ(Form().Lbl_Cursor_X->text(), QStringLiteral("100"));
    EXPECT_EQ(Form().Lbl_Cursor_Y->text(), QStringLiteral("1"));
    EXPECT_EQ(Form().Lbl_Cursor_Data->text(), QStringLiteral("---.---"));
}

TEST_F(MainWindowTest, BatchToolDrawsTheWindowsFillSurfaceIn3D) {
    SKIP_OR_FAIL_WITHOUT_GL();
    Show();
    const QString path = Write("dome.thk", DomeFile());
    Form().Chk_AutoFill->setChecked(true);
    ASSERT_EQ(Form().OpenFileByPath(path), 1);
    View3DOptions view;  // the 3D window's defaults, turned as the options below turn it
    view.ZAngleTenths = -1205;
    view.DrawType = Draw3DType::Wire;
    const QImage expected = RenderView3DImage(Form().Flow().Record(DataKind::Fill), view, 300, 200);
    ASSERT_FALSE(expected.isNull());

    const QString png = dir_.filePath(QStringLiteral("surface.png"));
    std::FILE* sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(RunCli({"view3d", path.toStdString(), "--out", png.toStdString(), "--width", "300", "--height",
                      "200", "--z-angle", "-120.5", "--wire"},
                     sink, sink),
              0);
    std::fclose(sink);
    EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
}

// Whether a pixel of the 301-pixel map samples cell c of a Size-500 record:
// the sampling written out, scale (Size + 1) / 301 in single precision.
bool Sampled(int c) {
    const float scale = static_cast<float>(501.0 / 301);
    for (int i = 0; i < 301; ++i)
        if (static_cast<int>(i * static_cast<double>(scale)) == c) return true;
    return false;
}

TEST_F(MainWindowTest, SitesMarkTheCellsTheMapCannotShow) {
    Show();
    TForm1& f = Form();
    EXPECT_TRUE(f.Chk_Sites->isChecked());  // on at the first start
    // The first missed cell from 249 on.
    int missed = 249;
    while (Sampled(missed))
        ++missed;
    ASSERT_TRUE(Sampled(3) && !Sampled(2));
    // Pixel of a missed cell: the last pixel sampling a cell before it.
    int pixel = 0;
    while (static_cast<int>((pixel + 1) * static_cast<double>(static_cast<float>(501.0 / 301))) <= missed)
        ++pixel;
    // Sampled (3, 0) and missed (missed, missed) both at 10; sampled (0, 0) at 20.
    const QByteArray file = "500\n1,1\n0,0,20,\n3,0,10,\n" + QByteArray::number(missed) + ',' +
                            QByteArray::number(missed) + ",10,\n";
    ASSERT_EQ(f.OpenFileByPath(Write("sites.thk", file)), 1);
    const QImage map = f.Img_Colormap->Picture().copy();
    const QImage& overlay = f.Img_Colormap->Overlay();
    ASSERT_FALSE(overlay.isNull());
    const QRgb back = map.pixel(150, 150);  // pixel 150 samples the empty cell 249
    const QRgb low = map.pixel(2, 0);       // pixel 2 samples cell 3
    EXPECT_NE(low, map.pixel(0, 0));
    EXPECT_NE(low, back);
    struct Probe {
        const char* what;
        QPoint at;
        QRgb expected;
    } probes[] = {
        {"dot centre", {pixel, pixel}, low},
        {"dot corner", {pixel + 1, pixel - 1}, low},
        {"rim", {pixel - 2, pixel + 2}, ColorToArgb(SiteRimColor(ArgbToColor(low)))},
        {"beyond the rim", {pixel + 3, pixel}, 0u},
        {"the sampled cell is not marked", {2, 0}, 0u},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(overlay.pixel(p.at), p.expected) << p.what;
    // The map picture stays the plain map; Copy Image shows the marker.
    EXPECT_EQ(map.pixel(pixel, pixel), back);
    QTest::mouseClick(f.Btn_Copy_Image, Qt::LeftButton);
    const QPoint copied(pixel + 2, pixel + 2);  // map at (6, 6), copy from (4, 4)
    EXPECT_EQ(QGuiApplication::clipboard()->image().pixel(copied), low);

    // Off: no marker, the map unchanged; the choice survives a restart and
    // setting.dat keeps its lines.
    const QByteArray settings = ReadAll(f.SettingsPath());
    QTest::mouseClick(f.Chk_Sites, Qt::LeftButton);
    EXPECT_EQ(ReadAll(f.SettingsPath()), settings);
    EXPECT_TRUE(f.Img_Colormap->Overlay().isNull());
    EXPECT_EQ(f.Img_Colormap->Picture(), map);
    QTest::mouseClick(f.Btn_Copy_Image, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->image().pixel(copied), back);
    f.close();
    const QByteArray closed = ReadAll(Form().SettingsPath());
    EXPECT_EQ(closed.count('\n'), 26);
    EXPECT_FALSE(closed.contains("Sites"));
    forms_ = std::make_unique<MorvaplotForms>(dir_.path(), dialogs_);
    EXPECT_FALSE(Form().Chk_Sites->isChecked());
}

// The dome of DomeFile lifted to a thick film's values, as clipboard text.
QString ThickDomeText() {
    QString text = QStringLiteral("100\t\n");
    for (int x = 0; x <= 100; x += 10)
        for (int y = 0; y <= 100; y += 10)
            text += QStringLiteral("%1\t%2\t%3\n")
                        .arg(x)
                        .arg(y)
                        .arg(129000.0 + 0.01 * (x * (100 - x) + y * (100 - y)) + 0.27, 0, 'f', 3);
    return text;
}

TEST_F(MainWindowTest, RoisAndReadOutFollowEveryNewRecord) {
    Show();
    TForm1& f = Form();
    const RoiOverlay& roi = *f.Roi;
    f.Chk_AutoFill->setChecked(true);
    ASSERT_EQ(f.OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    QTest::mouseClick(f.Img_Colormap, Qt::LeftButton, Qt::ControlModifier, QPoint(150, 150));
    MoveOver(f.Img_Colormap, {150, 150});  // cell (50, 50), a node of the data
    const auto expectReadOut = [&](const char* x, const std::string& data) {
        EXPECT_EQ(f.Lbl_Cursor_X->text(), QString::fromLatin1(x));
        EXPECT_EQ(f.Lbl_Cursor_Data->text().toStdString(), data);
        // The whole text is seen, inside its group.
        EXPECT_LE(f.Lbl_Cursor_Data->fontMetrics().horizontalAdvance(f.Lbl_Cursor_Data->text()),
                  f.Lbl_Cursor_Data->contentsRect().width());
        EXPECT_LE(f.Lbl_Cursor_Data->geometry().right(), f.Grp_Cursor->width() - 3);
    };
    const auto roiMean = [&](DataKind kind) {
        const ThkData& record = f.Flow().Record(kind);
        const int centre = RoiDisplayIndex(150, record.Size, 301);
        RoiStats stats{};
        const int count = CalcRoiStatistics(record, RoiShape::Circle, centre, centre, 10, stats);
        return RoiLabelCaptions(count, stats, 2).Mean;
    };
    expectReadOut("50", FormatFixed(f.Flow().Record(DataKind::Fill).Value[50][50], 8, 3));
    EXPECT_EQ(roi.Lbl_ROI_Mean_1->text().toStdString(), roiMean(DataKind::Fill));

    // A new file (pasted, loaded or made): the labels and the read-out show it
    // without a move of the pointer.
    QGuiApplication::clipboard()->setText(ThickDomeText());
    QTest::mouseClick(f.Btn_Paste, Qt::LeftButton);
    ASSERT_EQ(dialogs_.ShownMessages, Messages{});
    const double thick = f.Flow().Record(DataKind::Fill).Value[50][50];
    ASSERT_GT(thick, 129000.0);
    expectReadOut("50", FormatFixed(thick, 8, 3));
    EXPECT_EQ(roi.Lbl_ROI_Mean_1->text().toStdString(), roiMean(DataKind::Fill));

    // Without Auto Fill the Fill item stays enabled over an emptied record:
    // choosing it shows dashes, not the last file's numbers.
    f.Chk_AutoFill->setChecked(false);
    ASSERT_EQ(f.OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    expectReadOut("50", FormatFixed(f.Flow().Record(DataKind::Raw).Value[50][50], 8, 3));
    EXPECT_EQ(roi.Lbl_ROI_Mean_1->text().toStdString(), roiMean(DataKind::Raw));
    f.Rdo_DataType->SetItemIndex(2);
    expectReadOut("---", "---.---");
    EXPECT_EQ(roi.Lbl_ROI_Mean_1->text(), QStringLiteral("Mean: -----"));
    EXPECT_EQ(roi.Lbl_ROI_Min_1->text(), QStringLiteral("Min: -----"));
}

TEST_F(MainWindowTest, RoiGroupCaptionsAndQuickSecondPresses) {
    Show();
    TForm1& f = Form();
    // Each caption stands just left of its control, on its row.
    const auto captionBefore = [&](const QString& text, const QWidget* control) {
        for (const QLabel* label : f.Grp_Roi->findChildren<QLabel*>()) {
            if (label->text() != text) continue;
            EXPECT_TRUE(label->isVisible());
            EXPECT_LE(label->x() + label->fontMetrics().horizontalAdvance(text), control->x());
            EXPECT_LE(std::abs(label->geometry().center().y() - control->geometry().center().y()), 4);
            return;
        }
        ADD_FAILURE() << text.toStdString() << " missing";
    };
    captionBefore(QStringLiteral("F-Dig:"), f.Cmb_ROI_FDigit_1);
    captionBefore(QStringLiteral("Color:"), f.Shp_ROI_Color_1);
    EXPECT_EQ(f.Shp_ROI_Color_2->y(), f.Shp_ROI_Color_1->y());

    ASSERT_EQ(f.OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    RoiOverlay& roi = *f.Roi;
    QTest::mouseClick(f.Img_Colormap, Qt::LeftButton, Qt::ControlModifier, QPoint(60, 60));
    // ROI 2 right after ROI 1: the second press comes as a double click.
    DoublePress(f.Img_Colormap, Qt::RightButton, {220, 220});
    EXPECT_TRUE(roi.Shp_ROI_2->isVisible());
    EXPECT_EQ(roi.RoiPixelX[1], 220);
    // Removing at once: a quick second press on the outline just placed.
    DoublePress(roi.Shp_ROI_1, Qt::LeftButton, {1, roi.Shp_ROI_1->height() / 2});
    EXPECT_FALSE(roi.Shp_ROI_1->isVisible());
    DoublePress(roi.Lbl_ROI_Max_2, Qt::LeftButton, {3, 3});
    EXPECT_FALSE(roi.Shp_ROI_2->isVisible());
}

TEST_F(MainWindowTest, Open3DViewFollowsTheFillRecordAndLeavesTheColourBar) {
    SKIP_OR_FAIL_WITHOUT_GL();
    Show();
    TForm1& f = Form();
    TView3D& view = *forms_->View3D;
    f.Chk_AutoFill->setChecked(true);
    ASSERT_EQ(f.OpenFileByPath(Write("dome.thk", DomeFile())), 1);
    const QImage bar = f.Img_ColorBar->Picture().copy();
    QTest::mouseClick(f.Btn_3D, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const auto settled = [&] {
        int frames = view.Pnl_3D->FramesRendered();
        for (int i = 0; i < 10; ++i) {
            QTest::qWait(60);
            if (view.Pnl_3D->FramesRendered() == frames && frames > 0) break;
            frames = view.Pnl_3D->FramesRendered();
        }
        return frames;
    };
    ASSERT_GT(settled(), 0);
    const QImage surface = view.Pnl_3D->grabFramebuffer();

    // A new load without Auto Fill empties Fill: the open view draws the box alone.
    f.Chk_AutoFill->setChecked(false);
    const int before = settled();
    ASSERT_EQ(f.OpenFileByPath(Write("again.thk", DomeFile())), 1);
    EXPECT_GT(settled(), before);
    const QImage box = view.Pnl_3D->grabFramebuffer();
    EXPECT_NE(box, surface);
    EXPECT_EQ(
        box.convertToFormat(QImage::Format_RGB32),
        RenderView3DImage(f.Flow().Record(DataKind::Fill), view.ViewOptions(), box.width(), box.height())
            .convertToFormat(QImage::Format_RGB32));

    // After the 3D view has drawn, the colour bar is redrawn in the map's colours.
    QTest::mouseClick(f.Chk_Colormap, Qt::LeftButton);
    QTest::mouseClick(f.Chk_Colormap, Qt::LeftButton);
    EXPECT_EQ(f.Img_ColorBar->Picture(), bar);
}

}  // namespace
