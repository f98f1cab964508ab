#include "ui/DataTableModel.h"

#include "core/NumberText.h"

DataTableModel::DataTableModel(QObject* parent) : QAbstractTableModel(parent) {
    rows_.resize(2);
}

int DataTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_;
}

int DataTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return Cell(index.column(), index.row());
}

QString DataTableModel::Cell(int column, int row) const {
    if (row < 0 || row >= rowCount_ || column < 0 || column > 2) return {};
    if (row == 0) {
        static const char* header[] = {"X", "Y", "Thk"};
        return QString::fromLatin1(header[column]);
    }
    const Row& r = rows_[static_cast<size_t>(row)];
    if (!r.set) return {};
    switch (column) {
        case 0:
            return QString::number(r.x);
        case 1:
            return QString::number(r.y);
        default:
            return QString::fromStdString(FormatFixed(r.value, 8, 3));
    }
}

void DataTableModel::SetRowCount(int rows) {
    if (rows < 2) rows = 2;
    beginResetModel();
    if (static_cast<size_t>(rows) > rows_.size()) rows_.resize(static_cast<size_t>(rows));
    rowCount_ = rows;
    endResetModel();
}

void DataTableModel::SetHeader() {
    emit dataChanged(index(0, 0), index(0, 2));
}

void DataTableModel::ClearBody() {
    for (int r = 1; r < rowCount_; ++r)
        rows_[static_cast<size_t>(r)].set = false;
    if (rowCount_ > 1) emit dataChanged(index(1, 0), index(rowCount_ - 1, 2));
}

void DataTableModel::SetRow(int row, int x, int y, double value) {
    if (row < 1 || row >= rowCount_) return;
    rows_[static_cast<size_t>(row)] = Row{true, x, y, value};
}
