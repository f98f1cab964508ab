#pragma once

#include <QDialog>

// The random data maker's window.
class TDataMake : public QDialog {
    Q_OBJECT
public:
    explicit TDataMake(QWidget* parent = nullptr);
};
