#include "resulttablemodel.h"

#include "germanformat.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Kern {

namespace {
// Twips widths are whole numbers; a half goes to the even neighbour.
int roundTwips(double v) {
    return int(std::nearbyint(v));
}

// A deviation that is negative only through rounding noise shows as 0,0.
double cleanDeviation(double d) {
    return std::fabs(d) < 1e-9 ? 0.0 : d;
}

const QString WholePattern = QStringLiteral("####");
const QString LengthPattern = QStringLiteral("###0.0");
const QString PricePattern = QStringLiteral("#,##0.00");
} // namespace

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headings.size());
}

// Columns: 0 running number, 1 total, 2 deviation, 3..n+2 counts, n+3 pieces, n+4 price.
double ResultTableModel::cellValue(const Row& row, int column) const {
    const FoundCombination& f = row.values;
    if (column == 0)
        return row.number;
    if (column == 1)
        return f.total;
    if (column == 2)
        return cleanDeviation(f.deviation);
    if (column == m_typeCount + 3)
        return double(f.pieces);
    if (column == m_typeCount + 4)
        return f.totalPrice;
    return double(f.counts[std::size_t(column - 3)]);
}

const QString& ResultTableModel::patternOf(int column) const {
    if (column == 1 || column == 2)
        return LengthPattern;
    return column == m_typeCount + 4 ? PricePattern : WholePattern;
}

QString ResultTableModel::cellString(const Row& row, int column) const {
    return formatPattern(cellValue(row, column), patternOf(column));
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()) ||
        index.column() >= int(m_headings.size()))
        return {};
    if (role == Qt::DisplayRole)
        return cellString(m_rows[std::size_t(index.row())], index.column());
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_headings.size()))
        return {};
    if (role == Qt::DisplayRole)
        return m_headings.at(section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags ResultTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void ResultTableModel::SetUpResultTable(const SearchResult& result, const ScreenScale& scale) {
    const int n = std::clamp(result.typeCount(), 0, MaxTypes);
    beginResetModel();
    m_rows.clear();
    m_typeCount = n;
    m_headings =
        QStringList{QStringLiteral("lfd. Nr."), QStringLiteral("Länge"), QStringLiteral("-/+")};
    for (int t = 1; t <= n; ++t)
        m_headings << result.articleNumber(t);
    m_headings << QStringLiteral("Anzahl Gleise") << QStringLiteral("Gesamtpreis");
    m_headingHeight = roundTwips(300 * scale.y);
    m_widths.assign(std::size_t(n + 5), roundTwips(5925 * scale.x / (n + 1)));
    m_widths[0] = roundTwips(600 * scale.x);
    m_widths[1] = roundTwips(700 * scale.x);
    m_widths[std::size_t(n + 3)] = roundTwips(1000 * scale.x);
    m_widths[std::size_t(n + 4)] = roundTwips(1000 * scale.x);
    endResetModel();
    emit layoutChangedTwips();
}

void ResultTableModel::FillResultTable(const SearchResult& result) {
    const int k = std::min(result.count(), StoreRows);
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(std::size_t(k));
    for (int r = 1; r <= k; ++r)
        m_rows.push_back(Row{r, result.rows[std::size_t(r - 1)]});
    endResetModel();
}

void ResultTableModel::sortRows(int column, bool ascending) {
    if (column < 0 || column >= int(m_headings.size()) || m_rows.empty())
        return;
    // The key is the value as the cell shows it, so rows that look alike keep their order.
    const QString& pattern = patternOf(column);
    std::vector<double> keys(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        keys[i] = patternValue(cellValue(m_rows[i], column), pattern);
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? keys[a] < keys[b] : keys[a] > keys[b];
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(m_rows[order[i]]);
        newRowOf[order[i]] = int(i);
    }
    m_rows.swap(sorted);
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

QString ResultTableModel::cellText(int gridRow, int column) const {
    if (gridRow == 0)
        return m_headings.value(column);
    if (gridRow < 1 || gridRow > int(m_rows.size()) || column < 0 ||
        column >= int(m_headings.size()))
        return QString();
    return cellString(m_rows[std::size_t(gridRow - 1)], column);
}

QString ResultTableModel::articleNumber(int type) const {
    return type >= 1 && type <= m_typeCount ? m_headings.value(2 + type) : QString();
}

int ResultTableModel::columnWidthTwips(int column) const {
    if (column < 0 || column >= int(m_widths.size()))
        return 0;
    return m_widths[std::size_t(column)];
}

} // namespace Kern
