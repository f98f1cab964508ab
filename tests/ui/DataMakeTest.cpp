#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "data/RandomData.h"
#include "support/MessageRecorder.h"
#include "ui/Makedata.h"
#include "ui/widgets/ClickLabel.h"

namespace {

// Runs act once the dialog is the active modal window, so the test never
// hangs on exec() and never touches another test's dialog.
void WhenShown(TDataMake& dialog, std::function<void()> act) {
    auto* timer = new QTimer(&dialog);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &dialog, act] {
        if (QApplication::activeModalWidget() != &dialog) return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

class DataMakeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearThkData(records_.get(), 3);
        for (int i = 0; i < 3; ++i) {
            records_[i].Valid = true;
            records_[i].Value[1][2] = 40.0 + i;
        }
    }

    bool Untouched() const {
        for (int i = 0; i < 3; ++i)
            if (!records_[i].Valid || records_[i].Value[1][2] != 40.0 + i) return false;
        return true;
    }

    std::unique_ptr<ThkData[]> records_ = std::make_unique<ThkData[]>(3);
    TDataMake dialog_;
};

TEST_F(DataMakeTest, OkGeneratesWithTheLabelsValues) {
    EXPECT_EQ(dialog_.windowTitle(), "Random Data Make");
    EXPECT_EQ(dialog_.Lbl_DataBase->text(), "500.000");
    dialog_.Lbl_DataSize->setText("50");
    dialog_.Lbl_DataCount->setText("20");
    dialog_.Lbl_CheckRadius->setText("3");
    dialog_.Lbl_DataBase->setText("-12.500");
    dialog_.Lbl_RandomWidth->setText("2.000");
    dialog_.Seed = 5u;
    WhenShown(dialog_, [this] { QTest::mouseClick(dialog_.Btn_OK, Qt::LeftButton); });
    MessageRecorder recorder;
    ASSERT_TRUE(dialog_.RunDataMake(records_.get(), recorder));
    EXPECT_EQ(recorder.Messages, std::vector<std::string>{});

    auto expected = std::make_unique<ThkData>();
    ClearThkData(expected.get(), 1);
    ASSERT_EQ(MakeRandomData(*expected, RandomDataSettings{50, 20, 3, -12.5, 2.0}, 5u, recorder), 1);
    const ThkData& raw = records_[0];
    EXPECT_TRUE(raw.Valid);
    EXPECT_EQ(raw.Size, 50);
    EXPECT_EQ(raw.Count, 20);
    EXPECT_EQ(raw.Min, expected->Min);
    bool same = true;
    for (int x = 0; x < ThkGridDim; ++x)
        for (int y = 0; y < ThkGridDim; ++y)
            same = same && raw.Value[x][y] == expected->Value[x][y];
    EXPECT_TRUE(same);
    // Grid and Fill are cleared with it.
    EXPECT_FALSE(records_[1].Valid);
    EXPECT_FALSE(HasData(records_[2].Value[1][2]));
}

TEST_F(DataMakeTest, CancelAndCloseLeaveTheRecords) {
    const std::function<void()> answers[] = {
        [this] { QTest::mouseClick(dialog_.Btn_Cancel, Qt::LeftButton); },
        [this] { dialog_.close(); },
    };
    for (const auto& answer : answers) {
        WhenShown(dialog_, answer);
        EXPECT_FALSE(dialog_.RunDataMake(records_.get(), MessageRecorder()));
        EXPECT_FALSE(dialog_.MakeAccepted);
        EXPECT_TRUE(Untouched());
    }
}

}  // namespace
