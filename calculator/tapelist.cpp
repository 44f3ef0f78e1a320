#include "tapelist.h"

#include "tapemodel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>

#include <algorithm>

TapeList::TapeList(const TapeModel* model, QWidget* parent)
    : QAbstractScrollArea(parent), m_model(model) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The engine writes one line at a time; each costs the same whatever the tape's length.
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int) { lineWritten(first); });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex&) { lineWritten(topLeft.row()); });
    connect(model, &QAbstractItemModel::modelReset, this, &TapeList::cleared);
}

int TapeList::count() const {
    return m_model->rowCount();
}

void TapeList::lineWritten(int row) {
    m_longest = std::max(m_longest, m_model->lines().at(row).size());
    updateScrollBars();
    viewport()->update();
}

void TapeList::cleared() {
    m_current = -1;
    m_longest = 0;
    updateScrollBars();
    viewport()->update();
}

void TapeList::setCurrentRow(int row) {
    m_current = row >= 0 && row < count() ? row : -1;
    if (m_current >= 0) {
        QScrollBar* bar = verticalScrollBar();
        if (m_current < bar->value())
            bar->setValue(m_current);
        else if (m_current >= bar->value() + visibleRows())
            bar->setValue(m_current - visibleRows() + 1);
    }
    viewport()->update();
}

int TapeList::lineHeight() const {
    return std::max(1, fontMetrics().height());
}

// What the style leaves between an item view's border and its text.
int TapeList::textMargin() const {
    return style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
}

// Rows shown whole.
int TapeList::visibleRows() const {
    return std::max(1, viewport()->height() / lineHeight());
}

int TapeList::firstRow() const {
    return verticalScrollBar()->value();
}

// The vertical bar counts rows, the horizontal one pixels.
void TapeList::updateScrollBars() {
    const int rows = visibleRows();
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, count() - rows));
    v->setPageStep(rows);
    v->setSingleStep(1);
    const int width = fontMetrics().horizontalAdvance(QString(m_longest, QLatin1Char('0')));
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, width + 2 * textMargin() - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(fontMetrics().averageCharWidth());
}

void TapeList::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    QStyleOptionViewItem opt;
    opt.initFrom(this);
    opt.font = font();
    opt.fontMetrics = fontMetrics();
    opt.features = QStyleOptionViewItem::HasDisplay;
    opt.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    opt.textElideMode = Qt::ElideNone;
    opt.showDecorationSelected = true;
    opt.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    const QStyle::State base = opt.state & ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    const int h = lineHeight();
    const int left = -horizontalScrollBar()->value();
    const int width = horizontalScrollBar()->maximum() + viewport()->width();
    const int last = std::min(count() - 1, firstRow() + viewport()->height() / h + 1);
    for (int row = firstRow(); row <= last; ++row) {
        opt.rect = QRect(left, (row - firstRow()) * h, width, h);
        opt.text = m_model->lines().at(row);
        opt.state = base;
        if (row == m_current) {
            opt.state |= QStyle::State_Selected;
            if (hasFocus())
                opt.state |= QStyle::State_HasFocus;
        }
        style()->drawControl(QStyle::CE_ItemViewItem, &opt, &p, this);
    }
}

void TapeList::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int row = firstRow() + int(event->position().y()) / lineHeight();
        if (row < count())
            setCurrentRow(row);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void TapeList::keyPressEvent(QKeyEvent* event) {
    const int page = visibleRows();
    int row = m_current;
    switch (event->key()) {
    case Qt::Key_Up:
        row = std::max(0, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(count() - 1, row + 1);
        break;
    case Qt::Key_PageUp:
        row = std::max(0, row - page);
        break;
    case Qt::Key_PageDown:
        row = std::min(count() - 1, row + page);
        break;
    case Qt::Key_Home:
        row = 0;
        break;
    case Qt::Key_End:
        row = count() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (count() > 0)
        setCurrentRow(row);
    event->accept();
}

void TapeList::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    setCurrentRow(m_current); // the marked line stays in view
}

void TapeList::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateScrollBars();
        viewport()->update();
    }
}

void TapeList::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TapeList::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TapeList::scrollContentsBy(int, int) {
    viewport()->update();
}
