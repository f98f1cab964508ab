#include "report/ReportApplication.h"

#include <QApplication>
#include <clocale>

ReportApplication::ReportApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    // Number texts keep their decimal point whatever the locale says.
    std::setlocale(LC_NUMERIC, "C");
}

ReportApplication::~ReportApplication() = default;

bool ReportApplication::Ready() const {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}
