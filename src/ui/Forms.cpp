#include "ui/Forms.h"

TTenkey::TTenkey(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Input"));
}

bool TTenkey::InputValue(const ParamSpec& spec) {
    EnteredText = spec.Text;
    return false;
}

TDataMake::TDataMake(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Data Make"));
}

TGradationSet::TGradationSet(QWidget* parent) : QDialog(parent), committed_(ColormapPreset()) {
    setWindowTitle(QStringLiteral("Gradation Setting"));
}

int TGradationSet::LoadDefaultColorSetting() {
    return 1;
}

bool TGradationSet::Execute() {
    return false;
}

TView3D::TView3D(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("3D View"));
}

void TView3D::ShowThkData(const ThkData*) {}
