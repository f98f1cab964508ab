#include "report/ChartApplication.h"

#include <QApplication>
#include <clocale>

ChartApplication::ChartApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    // Number texts keep their decimal point whatever the locale says.
    std::setlocale(LC_NUMERIC, "C");
}

ChartApplication::~ChartApplication() = default;

bool ChartApplication::Ready() const {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}
