#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/NumberText.h"
#include "ui/AnalysisMapView.h"
#include "ui/AnalysisWindow.h"
#include "ui/Application.h"
#include "ui/ScriptedDialogs.h"

namespace {

// The analysis window opened from the main window on a filled dome under a
// 100 mm wafer with 5 mm exclusion: zooming changes only the view, the table
// and Copy show the figures of its analysis (whose numbers the session tests
// check), and the wafer is kept for the next window.
TEST(AnalysisWindow, FollowsTheFilledRecordThroughZoomAndKeepsTheWafer) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedDialogs dialogs;
    MorvaplotForms forms(dir.path(), dialogs);
    TForm1& form = *forms.Form1;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    QByteArray text = "100\n10,10\n";
    for (int x = 0; x <= 100; x += 10)
        for (int y = 0; y <= 100; y += 10)
            text += QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                    QByteArray::number(500.0 + 0.01 * (x * (100 - x) + y * (100 - y)) + 0.1 * x, 'f', 3) +
                    ",\n";
    const QString path = dir.filePath(QStringLiteral("dome.thk"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    ASSERT_EQ(form.OpenFileByPath(path), 1);
    form.Btn_CalcClick();
    form.Btn_FillClick();

    form.Btn_Analysis->click();
    auto* window = form.findChild<AnalysisWindow*>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    WaferGeometry wafer;
    wafer.DiameterMm = 100.0;
    wafer.EdgeExclusionMm = 5.0;
    ASSERT_TRUE(window->SetWafer(wafer));

    const ShownAnalysis& analysis = window->Analysis();
    EXPECT_EQ(analysis.Shown(), &form.Flow().Record(DataKind::Fill));
    const AreaStatistics& shown = analysis.Result().Shown;
    ASSERT_EQ(shown.Count, CalcAreaStatistics(*analysis.Shown(), AnalysisMask(100, wafer)).Count);

    AnalysisMapView* map = window->MapView();
    const double fitScale = map->Viewport().Scale;
    map->ZoomAt(QPointF(map->width() / 2.0, map->height() / 2.0), 4.0);
    EXPECT_DOUBLE_EQ(map->Viewport().Scale, fitScale * 4.0);

    EXPECT_EQ(window->StatisticsTable()->horizontalHeaderItem(0)->text(), QStringLiteral("Fill"));
    EXPECT_EQ(window->StatisticsTable()->item(1, 0)->text().toStdString(), FormatFixed(shown.Mean, 8, 3));
    EXPECT_EQ(window->StatisticsTable()->item(0, 0)->text().toLongLong(), shown.Count);
    QPushButton* copy = nullptr;
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Copy")) copy = button;
    ASSERT_NE(copy, nullptr);
    copy->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), analysis.StatisticsClipboardText());

    // A new window on the same settings folder starts with the wafer.
    AnalysisWindow next(form.Flow(), QFileInfo(form.SettingsPath()).absolutePath(), dialogs);
    EXPECT_EQ(next.Wafer().DiameterMm, 100.0);
    EXPECT_EQ(next.Wafer().EdgeExclusionMm, 5.0);
    EXPECT_FALSE(next.Wafer().CentreX.has_value());
}

}  // namespace
