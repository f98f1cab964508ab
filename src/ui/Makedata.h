#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

class ClickLabel;
class MessageSink;
class QPushButton;
class TTenkey;
struct ThkData;

// The modal "Random Data Make" dialog: five values edited through the input
// pad, and OK fills the Raw record with scattered test points.
class TDataMake : public QDialog {
    Q_OBJECT
public:
    // tenkey edits the five values; without it they cannot be edited.
    explicit TDataMake(QWidget* parent = nullptr, TTenkey* tenkey = nullptr);

    // records are the Raw, Grid and Fill records, consecutive. Shows the
    // dialog modally; on OK all three are cleared and the Raw record gets
    // new data, and the result is true. Cancel or the close box leave the
    // records untouched and give false. The maker's messages go to messages.
    bool RunDataMake(ThkData* records, const MessageSink& messages);

    void Lbl_DataDblClick(ClickLabel* label);
    void Btn_OKClick();
    void Btn_CancelClick();

    ClickLabel* Lbl_DataSize = nullptr;
    ClickLabel* Lbl_DataCount = nullptr;
    ClickLabel* Lbl_CheckRadius = nullptr;
    ClickLabel* Lbl_DataBase = nullptr;
    ClickLabel* Lbl_RandomWidth = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    // The values as last read from the labels on OK.
    int DataSize = 300;
    int DataCount = 100;
    int CheckRadius = 10;
    double DataBase = 500.0;
    double RandomWidth = 10.0;
    bool MakeAccepted = false;
    // Seed of the next generation; empty: taken from the clock.
    std::optional<std::uint32_t> Seed;

private:
    TTenkey* tenkey_ = nullptr;
    ThkData* records_ = nullptr;
    const MessageSink* messages_ = nullptr;  // for the run of RunDataMake
};
