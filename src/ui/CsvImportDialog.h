#pragma once

#include <QDialog>
#include <string>

#include "data/CsvImport.h"
#include "data/CsvImportChoices.h"
#include "ui/widgets/NamedZeroSpinBox.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

// The Import dialog for a thickness table: a preview of its first rows, the
// delimiter and header as detected, the X, Y and thickness columns (chosen
// by header name where that is obvious, changed by the user), the units of
// X and Y and the wafer diameter (mm) or Size (file units). The choices are a
// CsvImportChoices; the dialog shows them and maps its controls onto them.
class CsvImportDialog : public QDialog {
    Q_OBJECT
public:
    // text: the file's contents; initial: the options to start from.
    CsvImportDialog(const QString& fileName, std::string text, const CsvImportOptions& initial,
                    QWidget* parent = nullptr);

    // The options as chosen: the columns as 1-based numbers.
    CsvImportOptions Options() const { return choices_.Options(); }
    const CsvImportChoices& Choices() const { return choices_; }

    QComboBox* DelimiterBox() const { return delimiter_; }
    QComboBox* ColumnBox(int axis) const;  // 0 X, 1 Y, 2 thickness
    QComboBox* UnitsBox() const { return units_; }
    QDoubleSpinBox* DiameterBox() const { return diameter_; }
    QTableWidget* Preview() const { return preview_; }

private:
    // The detected layout: what was found, the columns' boxes, the preview.
    void ShowLayout();
    void ShowUnits();

    CsvImportChoices choices_;
    QComboBox* delimiter_ = nullptr;
    QLabel* header_ = nullptr;
    QComboBox* columns_[3] = {};
    QComboBox* units_ = nullptr;
    QLabel* diameterLabel_ = nullptr;
    NamedZeroSpinBox* diameter_ = nullptr;
    QTableWidget* preview_ = nullptr;
};
