#include "ui/Makedata.h"

TDataMake::TDataMake(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Data Make"));
}
