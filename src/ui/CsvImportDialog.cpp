#include "ui/CsvImportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int PreviewRows = 10;

// The delimiter box's items, in the order of CsvDelimiter.
const char* const DelimiterNames[] = {"Detect", "Comma", "Semicolon", "Tab", "Blanks"};

QString DelimiterName(CsvDelimiter d) {
    return QString::fromLatin1(DelimiterNames[static_cast<int>(d)]);
}

}  // namespace

CsvImportDialog::CsvImportDialog(const QString& fileName, std::string text, const CsvImportOptions& initial,
                                 QWidget* parent)
    : QDialog(parent), text_(std::move(text)), options_(initial) {
    setWindowTitle(QStringLiteral("Import ") + QFileInfo(fileName).fileName());
    delimiter_ = new QComboBox(this);
    for (const char* name : DelimiterNames)
        delimiter_->addItem(QString::fromLatin1(name));
    delimiter_->setCurrentIndex(static_cast<int>(options_.Delimiter));
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
    units_->setCurrentIndex(options_.Units == CsvUnits::Millimetres ? 0 : 1);
    form->addRow(QStringLiteral("X/Y units:"), units_);
    diameter_ = new NamedZeroSpinBox(QStringLiteral("from the points"), QString(), this);
    diameter_->setRange(0.0, ThkMaxSize);
    diameter_->setDecimals(0);
    diameter_->setValue(options_.Diameter);
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

    connect(delimiter_, &QComboBox::currentIndexChanged, this, [this] { Redetect(false); });
    connect(units_, &QComboBox::currentIndexChanged, this, [this] { UnitsChanged(); });
    Redetect(false);
    UnitsChanged();
}

QComboBox* CsvImportDialog::ColumnBox(int axis) const {
    return columns_[std::clamp(axis, 0, 2)];
}

void CsvImportDialog::Redetect(bool keepColumns) {
    CsvImportOptions detect = options_;
    detect.Delimiter = static_cast<CsvDelimiter>(delimiter_->currentIndex());
    if (!keepColumns) detect.XColumn = detect.YColumn = detect.ZColumn = std::string();
    layout_ = DetectCsvLayout(text_, detect, PreviewRows);
    header_->setText(
        QStringLiteral("found: %1, %2")
            .arg(DelimiterName(layout_.Delimiter).toLower(),
                 layout_.Header ? QStringLiteral("header row") : QStringLiteral("no header row")));
    QStringList names;
    for (std::size_t i = 0; i < layout_.Names.size(); ++i)
        names << QStringLiteral("%1: %2").arg(i + 1).arg(QString::fromStdString(layout_.Names[i]));
    const int chosen[3] = {layout_.XColumn, layout_.YColumn, layout_.ZColumn};
    for (int a = 0; a < 3; ++a) {
        columns_[a]->clear();
        columns_[a]->addItems(names);
        columns_[a]->setCurrentIndex(std::clamp(chosen[a], -1, static_cast<int>(names.size()) - 1));
    }
    preview_->clear();
    preview_->setColumnCount(static_cast<int>(layout_.Names.size()));
    preview_->setRowCount(static_cast<int>(layout_.Rows.size()));
    preview_->setHorizontalHeaderLabels(names);
    for (std::size_t r = 0; r < layout_.Rows.size(); ++r)
        for (std::size_t c = 0; c < layout_.Rows[r].size() && c < layout_.Names.size(); ++c)
            preview_->setItem(static_cast<int>(r), static_cast<int>(c),
                              new QTableWidgetItem(QString::fromStdString(layout_.Rows[r][c])));
}

void CsvImportDialog::UnitsChanged() {
    const bool mm = units_->currentIndex() == 0;
    diameterLabel_->setText(mm ? QStringLiteral("Wafer diameter (mm):") : QStringLiteral("Size (cells):"));
    diameter_->SetUnit(mm ? QStringLiteral(" mm") : QString());
}

CsvImportOptions CsvImportDialog::Options() const {
    CsvImportOptions o = options_;
    o.Delimiter = static_cast<CsvDelimiter>(delimiter_->currentIndex());
    std::string* targets[3] = {&o.XColumn, &o.YColumn, &o.ZColumn};
    for (int a = 0; a < 3; ++a)
        *targets[a] = columns_[a]->currentIndex() >= 0 ? std::to_string(columns_[a]->currentIndex() + 1)
                                                       : std::string();
    o.Units = units_->currentIndex() == 0 ? CsvUnits::Millimetres : CsvUnits::Cells;
    o.Diameter = diameter_->value();
    return o;
}
