#pragma once

#include <QAbstractScrollArea>

class TapeModel;

// The calculator's paper tape on screen: the lines of a TapeModel, one of them marked. The tape
// only grows at its end, line after line, and may reach tens of thousands of lines in a long
// session; a QListView (like a QListWidget) lays out all its lines again for each line added,
// also with uniform item sizes (five times the cost per key at 40,000 lines), so here adding,
// replacing and marking a line cost the same on a tape of any length. Painted as the style
// paints item views; a screen reader sees a list whose items are the lines.
class TapeList : public QAbstractScrollArea {
    Q_OBJECT
public:
    // The model must outlive the list.
    explicit TapeList(const TapeModel* model, QWidget* parent = nullptr);

    const TapeModel* tape() const { return m_model; }
    int count() const;

    int currentRow() const { return m_current; }
    // Marks the row (-1: none) and scrolls it into view.
    void setCurrentRow(int row);
    // Where the row is drawn, in the viewport's coordinates.
    QRect lineRect(int row) const;

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
    void lineWritten(int row);
    void cleared();

    const TapeModel* m_model;
    int m_current = -1;
    qsizetype m_longest = 0; // characters of the longest line since the last clear
};
