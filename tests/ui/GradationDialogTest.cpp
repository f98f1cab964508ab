#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "ScriptedDialogs.h"
#include "colour/ColorSettingFile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"
#include "ui/Input.h"
#include "ui/Multigradation.h"
#include "ui/widgets/ClickLabel.h"
#include "ui/widgets/ImageBox.h"

namespace {

using Messages = std::vector<std::string>;
using Colors = std::array<Color, GradationMaxColors>;

constexpr Color R = 255, O = 4227327, Y = 65535, G = 65280, C = 16776960, B = 16711680, V = 16711808,
                P = 16744703, W = 16777215, K = 0;
const Colors kPreset{R, O, Y, G, C, B, V, P, W, K};
const Colors kNumbered{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

const std::string kDefaultFile =
    "ColorCount: 7\nColor01: 255\nColor02: 4227327\nColor03: 65535\nColor04: 65280\n"
    "Color05: 16776960\nColor06: 16711680\nColor07: 16711808\nColor08: 16744703\n"
    "Color09: 16777215\nColor10: 0\n";
const std::string kCount3TenColors =
    "ColorCount: 3\nColor01: 1\nColor02: 2\nColor03: 3\nColor04: 4\nColor05: 5\n"
    "Color06: 6\nColor07: 7\nColor08: 8\nColor09: 9\nColor10: 10\n";
const std::string kCount7FiveColors = "ColorCount: 7\nC1: 1\nC2: 2\nC3: 3\nC4: 4\nC5: 5\n";
const Messages kSixthMissing{"'Color Setting'-No.6 read error.", "Set default color setting."};

// Runs act once `dialog` is the active modal window; the test never hangs on
// exec() and never touches another test's dialog.
void WhenShown(QDialog& dialog, std::function<void()> act) {
    auto* poll = new QTimer(&dialog);
    QObject::connect(poll, &QTimer::timeout, &dialog, [&dialog, poll, act] {
        if (QApplication::activeModalWidget() != &dialog) return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start(20);
}

Color PreviewAt(const TGradationSet& d, int y) {
    return ArgbToColor(d.Img_ColorBar->Picture().pixel(12, y));
}

// Label, grid rows and texts, and preview all show `count` colours of `colors`.
void ExpectShows(const TGradationSet& d, int count, const Colors& colors, const char* what) {
    EXPECT_EQ(d.Lbl_ColorCount->text(), QString::number(count)) << what;
    ASSERT_EQ(d.Stg_ColorSet->rowCount(), count + 1) << what;
    EXPECT_EQ(d.Stg_ColorSet->item(count, 0)->text(), QStringLiteral("Color%1").arg(count)) << what;
    EXPECT_EQ(PreviewAt(d, 0), colors[0]) << what;
    QImage expected(25, 297, QImage::Format_RGB32);
    DrawGradationPreview(expected, GradationTable{count, colors});
    EXPECT_EQ(d.Img_ColorBar->Picture(), expected) << what;
}

class GradationDialogTest : public ::testing::Test {
protected:
    // The dialog as the start-up load leaves it with `table` in "colorset.dat".
    std::unique_ptr<TGradationSet> Started(int count, const Colors& colors) {
        SaveColorSetting(temp_.PathOf("colorset.dat"), GradationTable{count, colors}, dialogs_.Messages());
        auto d = std::make_unique<TGradationSet>(dialogs_, &pad_);
        EXPECT_EQ(d->LoadDefaultColorSetting(QString::fromStdString(temp_.Root().string())), 1);
        dialogs_.ShownMessages.clear();
        return d;
    }

    ScriptedDialogs dialogs_;
    TTenkey pad_{dialogs_.Messages()};
    TempDir temp_;
};

TEST_F(GradationDialogTest, StartupLoadReadsOrWritesColorset) {
    struct Case {
        const char* what;
        std::optional<std::string> file;
        Messages messages;
        int count;
        Colors colors;
        std::string fileAfter;
    };
    const Case cases[] = {
        {"no file: the default is written", std::nullopt, {}, 7, kPreset, kDefaultFile},
        {"count 3 keeps all ten colours", kCount3TenColors, {}, 3, kNumbered, kCount3TenColors},
        {"five of seven colours: preset, file rewritten", kCount7FiveColors, kSixthMissing, 7, kPreset,
         kDefaultFile},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(temp_.PathOf("colorset.dat"));
        if (c.file) temp_.Write("colorset.dat", *c.file);
        dialogs_.ShownMessages.clear();
        TGradationSet d(dialogs_, &pad_);
        EXPECT_EQ(d.LoadDefaultColorSetting(QString::fromStdString(temp_.Root().string())), 1) << c.what;
        EXPECT_EQ(dialogs_.ShownMessages, c.messages) << c.what;
        EXPECT_EQ(d.WorkingTable().Colors, c.colors) << c.what;
        EXPECT_EQ(d.CommittedTable().Count, c.count) << c.what;
        EXPECT_EQ(d.CommittedTable().Colors[2], c.colors[2]) << c.what;
        EXPECT_EQ(ReadWholeFile(temp_.PathOf("colorset.dat")), c.fileAfter) << c.what;
        ExpectShows(d, c.count, c.colors, c.what);
    }
    // The preview runs from entry 1 at the top: rows 99 and 198 are the stops
    // of entries 3 and 5.
    TGradationSet d(dialogs_, &pad_);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Multi Gradation Setting"));
    EXPECT_EQ(PreviewAt(d, 99), Y);
    EXPECT_EQ(PreviewAt(d, 198), C);
}

TEST_F(GradationDialogTest, ButtonsEditTheWorkingTable) {
    using D = TGradationSet;
    struct Case {
        const char* what;
        int count;
        Colors colors;
        int row;
        QPushButton* D::*button;
        int countAfter;
        Colors colorsAfter;
    };
    // clang-format off
    const Case cases[] = {
        {"Insert at row 1 doubles red", 7, kPreset, 1, &D::Btn_Insert, 8, {R, R, O, Y, G, C, B, V, W, K}},
        {"Insert at 10 drops the last", 10, kPreset, 1, &D::Btn_Insert, 10, {R, R, O, Y, G, C, B, V, P, W}},
        {"Delete in the middle", 7, kPreset, 3, &D::Btn_Delete, 6, {R, O, G, C, B, V, K, P, W, K}},
        {"Delete with count 2 keeps two", 2, kPreset, 1, &D::Btn_Delete, 2, {O, K, Y, G, C, B, V, P, W, K}},
        {"Mono keeps entries 3..10", 7, kPreset, 1, &D::Btn_Mono, 2, {W, K, Y, G, C, B, V, P, W, K}},
        {"Colormap writes all ten", 4, kNumbered, 1, &D::Btn_Colormap, 7, kPreset},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto d = Started(c.count, c.colors);
        d->show();
        d->Stg_ColorSet->setCurrentCell(c.row, 1);
        QTest::mouseClick((*d).*c.button, Qt::LeftButton);
        EXPECT_EQ(d->WorkingTable().Count, c.countAfter) << c.what;
        EXPECT_EQ(d->WorkingTable().Colors, c.colorsAfter) << c.what;
        EXPECT_EQ(d->CommittedTable().Count, c.count) << c.what;
        ExpectShows(*d, c.countAfter, c.colorsAfter, c.what);
    }
}

TEST_F(GradationDialogTest, CountAndColoursAreEditedInPlace) {
    auto d = Started(7, kPreset);
    d->show();
    WhenShown(pad_, [this] {
        EXPECT_EQ(pad_.MaskEdit1->text(), QStringLiteral("7"));
        EXPECT_EQ(pad_.Lbl_Min->text(), QStringLiteral("2"));
        EXPECT_EQ(pad_.Lbl_Max->text(), QStringLiteral("10"));
        EXPECT_EQ(pad_.Lbl_Digit->text(), QStringLiteral("2"));
        for (QPushButton* key : {pad_.Btn_1, pad_.Btn_0, pad_.Btn_Enter})
            QTest::mouseClick(key, Qt::LeftButton);
    });
    QTest::mouseDClick(d->Lbl_ColorCount, Qt::LeftButton);
    ExpectShows(*d, 10, kPreset, "count 10 brings pink, white and black back");

    WhenShown(pad_, [this] { QTest::mouseClick(pad_.Btn_Cancel, Qt::LeftButton); });
    QTest::mouseDClick(d->Lbl_ColorCount, Qt::LeftButton);
    EXPECT_EQ(d->WorkingTable().Count, 10);

    // A double-click on a colour cell opens the chooser at that colour.
    dialogs_.Colors = {0x123456u};
    QTableWidget* grid = d->Stg_ColorSet;
    // A user's double-click: press and release, then the double-click event.
    const QPoint cell = grid->visualItemRect(grid->item(3, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(dialogs_.ColorCalls, 1);
    EXPECT_EQ(dialogs_.LastInitialColor, Y);
    EXPECT_EQ(d->WorkingTable().Colors[2], 0x123456u);
    EXPECT_EQ(PreviewAt(*d, 66), 0x123456u);  // 66 / 297 = 2 / 9, the stop of entry 3
}

TEST_F(GradationDialogTest, SaveWritesAndFailedLoadShowsThePreset) {
    auto d = Started(7, kPreset);
    d->show();
    QTest::mouseClick(d->Btn_Mono, Qt::LeftButton);
    const std::string saved = temp_.PathOf("mono.dat");
    dialogs_.SaveFiles = {QString::fromStdString(saved)};
    QTest::mouseClick(d->Btn_Save, Qt::LeftButton);
    EXPECT_EQ(dialogs_.LastFilter, QStringLiteral("Color Setting file (*.dat)"));
    EXPECT_EQ(dialogs_.LastSuffix, QStringLiteral("dat"));
    EXPECT_EQ(ReadWholeFile(saved),
              "ColorCount: 2\nColor01: 16777215\nColor02: 0\nColor03: 65535\nColor04: 65280\n"
              "Color05: 16776960\nColor06: 16711680\nColor07: 16711808\nColor08: 16744703\n"
              "Color09: 16777215\nColor10: 0\n");
    EXPECT_EQ(dialogs_.ShownMessages, Messages{"Save the Color setting completed."});

    dialogs_.ShownMessages.clear();
    dialogs_.Files = {QString::fromStdString(temp_.Write("short.dat", kCount7FiveColors))};
    QTest::mouseClick(d->Btn_Load, Qt::LeftButton);
    EXPECT_EQ(dialogs_.ShownMessages, kSixthMissing);
    ExpectShows(*d, 7, kPreset, "a failed load shows the preset at once");
    EXPECT_EQ(d->CommittedTable().Colors[0], R);
}

TEST_F(GradationDialogTest, OkCommitsCancelRevertsLoadCommitsAtOnce) {
    const QString loaded = QString::fromStdString(temp_.Write("three.dat", kCount3TenColors));
    struct Case {
        const char* what;
        QPushButton* TGradationSet::*edit;
        std::optional<QPushButton * TGradationSet::*> closer;  // nothing: the window frame
        bool result;
        int working;
        int committed;
        int kept;  // the count "colorset.dat" holds for the next start
    };
    const Case cases[] = {
        {"OK commits and keeps", &TGradationSet::Btn_Mono, &TGradationSet::Btn_OK, true, 2, 2, 2},
        {"Cancel reverts", &TGradationSet::Btn_Mono, &TGradationSet::Btn_Cancel, false, 7, 7, 7},
        {"the frame runs neither", &TGradationSet::Btn_Mono, std::nullopt, false, 2, 7, 7},
        {"Load then Cancel keeps the loaded table", &TGradationSet::Btn_Load, &TGradationSet::Btn_Cancel,
         true, 3, 3, 7},
    };
    for (const Case& c : cases) {
        auto d = Started(7, kPreset);
        dialogs_.Files = {loaded};
        WhenShown(*d, [&] {
            QTest::mouseClick((*d).*c.edit, Qt::LeftButton);
            if (c.closer)
                QTest::mouseClick((*d).*(*c.closer), Qt::LeftButton);
            else
                d->close();
        });
        EXPECT_EQ(d->Execute(), c.result) << c.what;
        EXPECT_EQ(d->WorkingTable().Count, c.working) << c.what;
        EXPECT_EQ(d->CommittedTable().Count, c.committed) << c.what;
        EXPECT_EQ(d->Lbl_ColorCount->text(), QString::number(c.working)) << c.what;
        GradationTable kept;
        EXPECT_EQ(ReadColorSetting(ReadWholeFile(temp_.PathOf("colorset.dat")), kept, dialogs_.Messages()),
                  c.kept)
            << c.what;
        if (c.kept == c.committed) {
            EXPECT_EQ(kept.Colors, d->CommittedTable().Colors) << c.what;
        }
    }
}

}  // namespace
