#include "ui/DataTableModel.h"

#include <algorithm>

#include "core/NumberText.h"

DataTableModel::DataTableModel(QObject* parent) : QAbstractTableModel(parent) {}

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
    if (static_cast<size_t>(row) > rows_.size()) return {};
    const Row& r = rows_[static_cast<size_t>(row - 1)];
    switch (column) {
        case 0:
            return QString::number(r.x);
        case 1:
            return QString::number(r.y);
        default:
            return QString::fromStdString(FormatFixed(r.value, 8, 3));
    }
}

void DataTableModel::Reset() {
    beginResetModel();
    rows_ = {};
    rowCount_ = 2;
    endResetModel();
}

void DataTableModel::List(const ThkData& record) {
    beginResetModel();
    const int size = std::clamp(record.Size, 0, ThkMaxSize);
    std::size_t cells = 0;
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y)
            cells += HasData(record.Value[x][y]) ? 1 : 0;
    std::vector<Row> rows;
    rows.reserve(cells);
    for (int x = 0; x <= size; ++x)
        for (int y = 0; y <= size; ++y)
            if (HasData(record.Value[x][y])) rows.push_back(Row{x, y, record.Value[x][y]});
    rows_ = std::move(rows);
    rowCount_ = std::max(static_cast<int>(rows_.size()) + 1, 2);
    endResetModel();
}
