#include "ui/CsvImportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

CsvImportDialog::CsvImportDialog(const QString& fileName, std::string text, const CsvImportOptions& initial,
                                 QWidget* parent)
    : QDialog(parent), choices_(std::move(text), initial) {
    setWindowTitle(QStringLiteral("Import ") + QFileInfo(fileName).fileName());
    delimiter_ = new QComboBox(this);
    for (const char* name : CsvDelimiterNames)
        delimiter_->addItem(QString::fromLatin1(name));
    delimiter_->setCurrentIndex(static_cast<int>(choices_.Delimiter()));
    header_ = new QLabel(this);
    const char* const axisNames[] = {"X column:", "Y column:", "Thickness column:"};
    auto* form = new QFormLayout;
    auto* delimiterRow = new QHBoxLayout;
    delimiterRow->addWidget(delimiter_);
    delimiterRow->addWidget(header_, 1);
    form->addRow(QStringLiteral("Delimiter:"), delimiterRow);
    for (int i = 0; i < 3; ++i) {
        columns_[i] = new QComboBox(this);
        form->addRow(QString::fromLatin1(axisNames[i]), columns_[i]);
    }
    units_ = new QComboBox(this);
    units_->addItem(QStringLiteral("mm from the wafer centre"));
    units_->addItem(QStringLiteral("file units (cells)"));
    units_->setCurrentIndex(choices_.Units() == CsvUnits::Millimetres ? 0 : 1);
    form->addRow(QStringLiteral("X/Y units:"), units_);
    diameter_ = new NamedZeroSpinBox(QStringLiteral("from the points"), QString(), this);
    diameter_->setRange(0.0, ThkMaxSize);
    diameter_->setDecimals(0);
    diameter_->setValue(choices_.Diameter());
    // The box holds whole numbers within 0..500: what it shows is the choice.
    choices_.SetDiameter(diameter_->value());
    diameterLabel_ = new QLabel(this);
    form->addRow(diameterLabel_, diameter_);

    preview_ = new QTableWidget(this);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    preview_->setMinimumSize(520, 240);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("First rows:"), this));
    layout->addWidget(preview_, 1);
    layout->addWidget(buttons);

    connect(delimiter_, &QComboBox::currentIndexChanged, this, [this](int index) {
        choices_.SetDelimiter(static_cast<CsvDelimiter>(index));
        ShowLayout();
    });
    for (int a = 0; a < 3; ++a)
        connect(columns_[a], &QComboBox::currentIndexChanged, this,
                [this, a](int index) { choices_.SetColumn(a, index); });
    connect(units_, &QComboBox::currentIndexChanged, this, [this](int index) {
        choices_.SetUnits(index == 0 ? CsvUnits::Millimetres : CsvUnits::Cells);
        ShowUnits();
    });
    connect(diameter_, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { choices_.SetDiameter(value); });
    ShowLayout();
    ShowUnits();
}

QComboBox* CsvImportDialog::ColumnBox(int axis) const {
    return columns_[std::clamp(axis, 0, 2)];
}

void CsvImportDialog::ShowLayout() {
    const CsvLayout& layout = choices_.Layout();
    header_->setText(QString::fromStdString(choices_.FoundText()));
    QStringList names;
    for (const std::string& name : choices_.ColumnNames())
        names << QString::fromStdString(name);
    for (int a = 0; a < 3; ++a) {
        // Filling a box moves its selection; the choices stay as detected.
        const QSignalBlocker quiet(columns_[a]);
        columns_[a]->clear();
        columns_[a]->addItems(names);
        columns_[a]->setCurrentIndex(choices_.Column(a));
    }
    preview_->clear();
    preview_->setColumnCount(static_cast<int>(layout.Names.size()));
    preview_->setRowCount(static_cast<int>(layout.Rows.size()));
    preview_->setHorizontalHeaderLabels(names);
    for (std::size_t r = 0; r < layout.Rows.size(); ++r)
        for (std::size_t c = 0; c < layout.Rows[r].size() && c < layout.Names.size(); ++c)
            preview_->setItem(static_cast<int>(r), static_cast<int>(c),
                              new QTableWidgetItem(QString::fromStdString(layout.Rows[r][c])));
}

void CsvImportDialog::ShowUnits() {
    diameterLabel_->setText(QString::fromStdString(choices_.DiameterCaption()));
    diameter_->SetUnit(QString::fromStdString(choices_.DiameterUnit()));
}
