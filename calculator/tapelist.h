#pragma once

#include <QAbstractScrollArea>
#include <QStringList>

// The calculator's paper tape: a list box of text lines, one of them marked. The tape only grows
// at its end, line after line, and may reach tens of thousands of lines in a long session; a
// QListWidget lays out all its lines again for each line added, so here adding, replacing and
// marking a line cost the same on a tape of any length. Painted as the style paints item views.
class TapeList : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TapeList(QWidget* parent = nullptr);

    int count() const { return int(m_lines.size()); }
    QString line(int i) const { return m_lines.value(i); }
    const QStringList& lines() const { return m_lines; }
    // Replaces line i; i equal to count() appends a line. Other rows are left alone.
    void setLine(int i, const QString& text);
    void clear();

    int currentRow() const { return m_current; }
    // Marks the row (-1: none) and scrolls it into view.
    void setCurrentRow(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int lineHeight() const;
    int textMargin() const;
    int visibleRows() const;
    int firstRow() const;
    void updateScrollBars();

    QStringList m_lines;
    int m_current = -1;
    qsizetype m_longest = 0; // characters of the longest line since the last clear
};
