#pragma once

#include "kern.h"
#include "resultcolumns.h"
#include "searchresult.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace Kern {

// The result table: headings come from headerData, the recorded combinations are model rows
// 0..k-1 (grid rows 1..k). It keeps the numbers of a search and formats them in data(); column
// widths and the heading height are data the view applies.
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

    // Columns and headings for the selected types of a search, widths for the screen factors;
    // removes every data row.
    void SetUpResultTable(const SearchResult& result, const ScreenScale& scale);
    // Data rows from the combinations of a search, in the order of discovery.
    void FillResultTable(const SearchResult& result);

    // Sorts all data rows by a column's value as the cell shows it (an empty cell counts as 0),
    // moving whole rows; rows with equal keys keep their order.
    void sortRows(int column, bool ascending);

    // Cell text in grid terms: row 0 is the heading row, rows 1..k the data rows.
    QString cellText(int gridRow, int column) const;

    // n and the article numbers of the selected types 1..n of the search shown.
    int selectedCount() const { return m_typeCount; }
    ResultColumns columns() const { return ResultColumns{m_typeCount}; }
    QString articleNumber(int type) const;

    // Layout in twips, already scaled by the screen factors.
    int columnWidthTwips(int column) const;
    int headingHeightTwips() const { return m_headingHeight; }

signals:
    // Emitted after SetUpResultTable, so views can apply widths and the heading height.
    void layoutChangedTwips();

private:
    struct Row {
        int number = 0; // running number: the place in the order of discovery
        FoundCombination values;
    };
    double cellValue(const Row& row, int column) const;
    const QString& patternOf(int column) const;
    QString cellString(const Row& row, int column) const;

    int m_typeCount = 0;
    QStringList m_headings;
    std::vector<int> m_widths;
    int m_headingHeight = 300;
    std::vector<Row> m_rows;
};

} // namespace Kern
