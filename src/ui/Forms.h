#pragma once

#include <QDialog>
#include <QString>

#include "colour/ColorScale.h"

struct ThkData;

// The input record of the parameter pad: integer or decimal mode, limits,
// digit counts and the start text.
struct ParamSpec {
    int Mode = 0;  // 0 integer, 1 decimal
    double MinValue = 0.0;
    double MaxValue = 100.0;
    int Digits = 3;
    int Decimals = 0;
    QString Text = QStringLiteral("0");
};

// The modal input pad through which parameter values are typed. The pad's
// keyboard is not built yet: InputValue answers "cancelled", so every
// parameter keeps its value.
class TTenkey : public QDialog {
    Q_OBJECT
public:
    explicit TTenkey(QWidget* parent = nullptr);
    bool InputValue(const ParamSpec& spec);
    QString EnteredText;
};

// The random data maker; its form is not built yet.
class TDataMake : public QDialog {
    Q_OBJECT
public:
    explicit TDataMake(QWidget* parent = nullptr);
};

// The gradation dialog. It owns the committed gradation table that every
// drawing uses; the editing form and the colour-setting file come later, so
// the table is the start-up preset.
class TGradationSet : public QDialog {
    Q_OBJECT
public:
    explicit TGradationSet(QWidget* parent = nullptr);
    int LoadDefaultColorSetting();
    bool Execute();
    const GradationTable& CommittedTable() const { return committed_; }

private:
    GradationTable committed_;
};

// The 3D view window; its renderer comes later.
class TView3D : public QWidget {
    Q_OBJECT
public:
    explicit TView3D(QWidget* parent = nullptr);
    void ShowThkData(const ThkData* record);
};
