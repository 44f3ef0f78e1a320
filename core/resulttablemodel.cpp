#include "resulttablemodel.h"

#include "germanformat.h"
#include "kern.h"

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
} // namespace

ResultTableModel::ResultTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size()) ||
        index.column() >= int(m_headings.size()))
        return {};
    if (role == Qt::DisplayRole)
        return m_rows[std::size_t(index.row())].value(index.column());
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

void ResultTableModel::SetUpResultTable() {
    const int n = std::clamp(SelectedCount, 0, MaxTypes);
    beginResetModel();
    m_rows.clear();
    m_headings =
        QStringList{QStringLiteral("lfd. Nr."), QStringLiteral("Länge"), QStringLiteral("-/+")};
    for (int t = 1; t <= n; ++t)
        m_headings << ArticleNumbers[std::size_t(t)];
    m_headings << QStringLiteral("Anzahl Gleise") << QStringLiteral("Gesamtpreis");
    m_headingHeight = roundTwips(300 * ScaleY);
    m_widths.assign(std::size_t(n + 5), roundTwips(5925 * ScaleX / (n + 1)));
    m_widths[0] = roundTwips(600 * ScaleX);
    m_widths[1] = roundTwips(700 * ScaleX);
    m_widths[std::size_t(n + 3)] = roundTwips(1000 * ScaleX);
    m_widths[std::size_t(n + 4)] = roundTwips(1000 * ScaleX);
    endResetModel();
    emit layoutChangedTwips();
}

void ResultTableModel::FillResultTable() {
    const int n = std::clamp(SelectedCount, 0, MaxTypes);
    const int k = std::clamp(CombinationCount, 0, StoreRows);
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(std::size_t(k));
    const QString whole = QStringLiteral("####");
    const QString length = QStringLiteral("###0.0");
    for (int r = 1; r <= k; ++r) {
        const StoreRow& s = ResultStore[std::size_t(r)];
        QStringList row;
        row << FormatPattern(r, whole) << FormatPattern(s[0], length)
            << FormatPattern(cleanDeviation(s[1]), length);
        for (int t = 1; t <= n; ++t)
            row << FormatPattern(s[std::size_t(1 + t)], whole);
        row << FormatPattern(s[12], whole) << FormatPattern(s[13], QStringLiteral("#,##0.00"));
        m_rows.push_back(row);
    }
    endResetModel();
}

void ResultTableModel::sortRows(int column, bool ascending) {
    if (column < 0 || column >= int(m_headings.size()) || m_rows.empty())
        return;
    std::vector<double> keys(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        keys[i] = GermanSortValue(m_rows[i].value(column));
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? keys[a] < keys[b] : keys[a] > keys[b];
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<QStringList> sorted;
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
    if (gridRow < 1 || gridRow > int(m_rows.size()))
        return QString();
    return m_rows[std::size_t(gridRow - 1)].value(column);
}

int ResultTableModel::selectedCount() const {
    return SelectedCount;
}

QString ResultTableModel::articleNumber(int type) const {
    return type >= 1 && type <= MaxTypes ? ArticleNumbers[std::size_t(type)] : QString();
}

int ResultTableModel::columnWidthTwips(int column) const {
    if (column < 0 || column >= int(m_widths.size()))
        return 0;
    return m_widths[std::size_t(column)];
}

ResultTableModel* ResultTable() {
    static ResultTableModel* model = new ResultTableModel();
    return model;
}

} // namespace Kern
