#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "data/ThkData.h"

// The content of the data grid (X, Y, Thk columns, row 0 the header). Rows keep
// the numbers and are formatted when shown, so a 251,001-row table costs no
// strings until it is looked at.
class DataTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Cell text by column and row, as the grid shows it.
    QString Cell(int column, int row) const;
    int RowCount() const { return rowCount_; }

    // The header and one empty row.
    void Reset();
    // One row per data cell inside 0..Size, X-major, after the header. The
    // table holds exactly these rows: nothing of an earlier record stays,
    // and repeated positions in a file add no rows.
    void List(const ThkData& record);

private:
    struct Row {
        int x = 0;
        int y = 0;
        double value = 0.0;
    };
    std::vector<Row> rows_;  // body rows; row r of the grid is rows_[r - 1]
    int rowCount_ = 2;
};
