#pragma once

#include <QDialog>

#include "colour/ColorScale.h"

// The gradation dialog. It owns the committed gradation table that every
// drawing uses; it starts as the "Colormap" preset.
class TGradationSet : public QDialog {
    Q_OBJECT
public:
    explicit TGradationSet(QWidget* parent = nullptr);
    // Lets the user edit the gradation; true when a new table was committed.
    // Without an editing form nothing can be committed: always false.
    bool Execute();
    const GradationTable& CommittedTable() const { return committed_; }

private:
    GradationTable committed_;
};
