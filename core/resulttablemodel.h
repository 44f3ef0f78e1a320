#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace Kern {

// The result table: headings come from headerData, the recorded combinations are model rows
// 0..k-1 (grid rows 1..k). Column widths and the heading height are data the view applies.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Columns and headings for the selected types of Kern (n, article numbers, ScaleX/ScaleY);
    // removes every data row.
    void SetUpResultTable();
    // Data rows from rows 1..k of the result store, in the order of discovery.
    void FillResultTable();

    // Sorts all data rows by the numeric value of a column (German reading, empty = 0),
    // moving whole rows; rows with equal keys keep their order.
    void sortRows(int column, bool ascending);

    // Cell text in grid terms: row 0 is the heading row, rows 1..k the data rows.
    QString cellText(int gridRow, int column) const;
    int gridRowCount() const { return rowCount() + 1; }

    // The selected types of the search shown: n, and the article number of type 1..n.
    int selectedCount() const;
    QString articleNumber(int type) const;

    // Layout in twips, already scaled by ScaleX / ScaleY.
    int columnWidthTwips(int column) const;
    int headingHeightTwips() const { return m_headingHeight; }

signals:
    // Emitted after SetUpResultTable, so views can apply widths and the heading height.
    void layoutChangedTwips();

private:
    QStringList m_headings;
    std::vector<int> m_widths;
    int m_headingHeight = 300;
    std::vector<QStringList> m_rows;
};

// The one result table of the program, created on first use.
ResultTableModel* ResultTable();

} // namespace Kern
