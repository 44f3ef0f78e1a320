#pragma once

#include "resultcolumns.h"
#include "searchresult.h"

#include <QAbstractTableModel>

#include <vector>

namespace Kern {

// The result table and the one owner of a search's rows. Headings come from headerData, the
// recorded combinations are model rows 0..k-1 (grid rows 1..k) in the order the grid shows
// them. It keeps the numbers of a search and writes them as texts in one place, cellText: the
// rows as shown, which the grid, the clipboard, the CSV export and the printout all read.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The table before any search: ten types without article numbers, no rows.
    explicit ResultTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Columns and headings for the selected types of a search about to run; removes every row.
    void SetUpResultTable(const SearchResult& selection);
    // The rows the search found, in the order of discovery (at most StoreRows are kept).
    void FillResultTable(std::vector<FoundCombination> rows);

    // Sorts all rows by a column's value as the cell shows it (an empty cell counts as 0),
    // moving whole rows; rows with equal keys keep their order.
    void sortRows(int column, bool ascending);

    // The rows as shown, in grid terms: row 0 holds the headings, rows 1..k the combinations in
    // the grid's current order.
    QString cellText(int gridRow, int column) const;
    ResultColumns columns() const { return ResultColumns{m_result.typeCount()}; }
    // Of the selected types 1..n of the search shown.
    QString articleNumber(int type) const { return m_result.articleNumber(type); }

private:
    double cellValue(int row, int column) const;

    SearchResult m_result = startUpResult();
    std::vector<int> m_order; // shown row -> index in m_result.rows, the order of discovery
};

} // namespace Kern
