#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The paper tape's lines, owned by the calculator engine and shown by the window's list.
class TapeModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const QStringList& lines() const { return m_lines; }
    // Replaces line i; i equal to the line count appends a line.
    void setLine(int i, const QString& text);
    void clear();

private:
    QStringList m_lines;
};
