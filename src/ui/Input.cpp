#include "ui/Input.h"

TTenkey::TTenkey(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Input"));
}

bool TTenkey::InputValue(const ParamInput& input) {
    EnteredText = input.Text;
    return false;
}
