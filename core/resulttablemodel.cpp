#include "resulttablemodel.h"

#include "germanformat.h"
#include "kern.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Kern {

namespace {
// A deviation that is negative only through rounding noise shows as 0,0.
double cleanDeviation(double d) {
    return std::fabs(d) < 1e-9 ? 0.0 : d;
}
} // namespace

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_order.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns().count();
}

// Row is a shown row, 0..k-1.
double ResultTableModel::cellValue(int row, int column) const {
    const int found = m_order[std::size_t(row)];
    const FoundCombination& f = m_result.rows[std::size_t(found)];
    const ResultColumns layout = columns();
    if (const int t = layout.typeOf(column))
        return double(f.counts[std::size_t(t - 1)]);
    if (column == ResultColumns::Number)
        return found + 1;
    if (column == ResultColumns::Length)
        return f.total;
    if (column == ResultColumns::Deviation)
        return cleanDeviation(f.deviation);
    return column == layout.pieces() ? double(f.pieces) : f.totalPrice;
}

QString ResultTableModel::cellText(int gridRow, int column) const {
    const ResultColumns layout = columns();
    if (column < 0 || column >= layout.count() || gridRow < 0 || gridRow > rowCount())
        return QString();
    if (gridRow == 0) {
        const int t = layout.typeOf(column);
        return t ? articleNumber(t) : layout.fixedHeading(column);
    }
    return formatPattern(cellValue(gridRow - 1, column), layout.pattern(column));
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row() + 1, index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(0, section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ResultTableModel::SetUpResultTable(const SearchResult& selection) {
    beginResetModel();
    m_result.request = selection.request;
    m_result.articleNumbers = selection.articleNumbers;
    if (m_result.articleNumbers.size() > std::size_t(MaxTypes))
        m_result.articleNumbers.resize(std::size_t(MaxTypes));
    m_result.rows.clear();
    m_order.clear();
    endResetModel();
}

void ResultTableModel::FillResultTable(std::vector<FoundCombination> rows) {
    if (rows.size() > std::size_t(StoreRows))
        rows.resize(std::size_t(StoreRows));
    beginResetModel();
    m_result.rows = std::move(rows);
    m_order.resize(m_result.rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
}

void ResultTableModel::sortRows(int column, bool ascending) {
    if (column < 0 || column >= columnCount() || m_order.empty())
        return;
    // The key is the value as the cell shows it, so rows that look alike keep their order.
    const QString pattern = columns().pattern(column);
    std::vector<double> keys(m_order.size());
    for (std::size_t i = 0; i < m_order.size(); ++i)
        keys[i] = patternValue(cellValue(int(i), column), pattern);
    std::vector<int> moved(m_order.size()); // new shown row -> old shown row
    std::iota(moved.begin(), moved.end(), 0);
    std::stable_sort(moved.begin(), moved.end(), [&](int a, int b) {
        return ascending ? keys[std::size_t(a)] < keys[std::size_t(b)]
                         : keys[std::size_t(a)] > keys[std::size_t(b)];
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order(m_order.size());
    std::vector<int> newRowOf(m_order.size());
    for (std::size_t i = 0; i < moved.size(); ++i) {
        order[i] = m_order[std::size_t(moved[i])];
        newRowOf[std::size_t(moved[i])] = int(i);
    }
    m_order.swap(order);
    // A selected cell stays on its combination, wherever the sort moves it.
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to << (index.isValid() && index.row() < int(newRowOf.size())
                   ? this->index(newRowOf[std::size_t(index.row())], index.column())
                   : QModelIndex());
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace Kern
