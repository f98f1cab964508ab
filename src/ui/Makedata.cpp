#include "ui/Makedata.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <array>

#include "data/RandomData.h"
#include "session/ParameterLimits.h"
#include "ui/Input.h"
#include "ui/widgets/ClickLabel.h"

namespace {

constexpr int ClientWidth = 200;
constexpr int ClientHeight = 186;

// The limits of each value label, indexed by its Tag. The pad opens with an
// empty start text.
constexpr std::array<const ParameterLimit*, 5> DataLimits = {
    &ParameterLimits::DataSize, &ParameterLimits::DataCount, &ParameterLimits::CheckRadius,
    &ParameterLimits::DataBase, &ParameterLimits::RandomWidth};

// A caption and its blue bold value on one row; the value opens the input pad
// on double-click.
ClickLabel* MakeRow(QWidget* parent, int row, const QString& caption, const QString& text) {
    const int y = 14 + row * 26;
    auto* label = new QLabel(caption, parent);
    label->setGeometry(16, y, 96, 16);
    auto* value = new ClickLabel(text, parent);
    value->Tag = row;
    value->setGeometry(112, y, 72, 16);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont f = value->font();
    f.setBold(true);
    value->setFont(f);
    value->setStyleSheet(QStringLiteral("QLabel { color: #0000ff; }"));
    return value;
}

}  // namespace

TDataMake::TDataMake(QWidget* parent, TTenkey* tenkey) : QDialog(parent), tenkey_(tenkey) {
    setWindowTitle(QStringLiteral("Random Data Make"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);

    Lbl_DataSize = MakeRow(this, 0, QStringLiteral("Data Size:"), QStringLiteral("300"));
    Lbl_DataCount = MakeRow(this, 1, QStringLiteral("Data Count:"), QStringLiteral("100"));
    Lbl_CheckRadius = MakeRow(this, 2, QStringLiteral("Check Radius:"), QStringLiteral("10"));
    Lbl_DataBase = MakeRow(this, 3, QStringLiteral("Data Base:"), QStringLiteral("500.000"));
    Lbl_RandomWidth = MakeRow(this, 4, QStringLiteral("Random Width:"), QStringLiteral("10.000"));
    for (ClickLabel* label : {Lbl_DataSize, Lbl_DataCount, Lbl_CheckRadius, Lbl_DataBase, Lbl_RandomWidth})
        connect(label, &ClickLabel::doubleClicked, this, &TDataMake::Lbl_DataDblClick);

    Btn_OK = new QPushButton(QStringLiteral("OK"), this);
    Btn_OK->setGeometry(16, 148, 80, 25);
    Btn_OK->setAutoDefault(false);
    Btn_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Btn_Cancel->setGeometry(104, 148, 80, 25);
    Btn_Cancel->setAutoDefault(false);
    connect(Btn_OK, &QPushButton::clicked, this, &TDataMake::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TDataMake::Btn_CancelClick);
}

bool TDataMake::RunDataMake(ThkData* records, const MessageSink& messages) {
    MakeAccepted = false;
    if (!records) return false;
    records_ = records;
    messages_ = &messages;
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    exec();
    return MakeAccepted;
}

void TDataMake::Lbl_DataDblClick(ClickLabel* label) {
    const int tag = label->Tag;
    if (!tenkey_ || tag < 0 || tag >= static_cast<int>(DataLimits.size())) return;
    if (!tenkey_->InputValue(ParamInputFor(*DataLimits[static_cast<std::size_t>(tag)], QString()))) return;
    label->setText(tenkey_->EnteredText);
}

void TDataMake::Btn_OKClick() {
    DataSize = Lbl_DataSize->text().toInt();
    DataCount = Lbl_DataCount->text().toInt();
    CheckRadius = Lbl_CheckRadius->text().toInt();
    DataBase = Lbl_DataBase->text().toDouble();
    RandomWidth = Lbl_RandomWidth->text().toDouble();
    if (records_) {
        ClearThkData(records_, 3);
        const RandomDataSettings settings{DataSize, DataCount, CheckRadius, DataBase, RandomWidth};
        MakeAccepted = MakeRandomData(records_[0], settings, Seed ? *Seed : ClockSeed(), *messages_) == 1;
    }
    accept();
}

void TDataMake::Btn_CancelClick() {
    MakeAccepted = false;
    reject();
}
