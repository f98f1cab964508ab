#include "ui/Multigradation.h"

TGradationSet::TGradationSet(QWidget* parent) : QDialog(parent), committed_(ColormapPreset()) {
    setWindowTitle(QStringLiteral("Gradation Setting"));
}

bool TGradationSet::Execute() {
    return false;
}
