#include "tapemodel.h"

int TapeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant TapeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_lines.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_lines.at(index.row());
    // The blanks only line the numbers up in columns; a screen reader would read them out.
    if (role == Qt::AccessibleTextRole)
        return m_lines.at(index.row()).trimmed();
    return QVariant();
}

void TapeModel::setLine(int i, const QString& text) {
    if (i < 0 || i > m_lines.size())
        return;
    if (i == m_lines.size()) {
        beginInsertRows(QModelIndex(), i, i);
        m_lines.append(text);
        endInsertRows();
    } else {
        m_lines[i] = text;
        emit dataChanged(index(i), index(i));
    }
}

void TapeModel::clear() {
    beginResetModel();
    m_lines.clear();
    endResetModel();
}
