#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

// The content of the data grid (X, Y, Thk columns, row 0 the header). Rows keep
// the numbers and are formatted when shown, so a 251,001-row table costs no
// strings until it is looked at. Rows beyond the last written one keep their
// old content when the row count changes, as a string grid does.
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

    void SetRowCount(int rows);
    void SetHeader();
    void ClearBody();
    void SetRow(int row, int x, int y, double value);

private:
    struct Row {
        bool set = false;
        int x = 0;
        int y = 0;
        double value = 0.0;
    };
    std::vector<Row> rows_;
    int rowCount_ = 2;
};
