#include "ui/View_3d.h"

TView3D::TView3D(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("3D View"));
}

void TView3D::ShowThkData(const ThkData& record) {
    record_ = &record;
}
