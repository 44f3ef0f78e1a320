#include "tapelist.h"

#include "tapemodel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

// One line of the tape as a screen reader reads it: its text without the padding, and whether
// it is the marked one.
class TapeLineAccessible : public QAccessibleInterface {
public:
    TapeLineAccessible(TapeList* list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override { return m_list && m_row < m_list->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list ? m_list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_list);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return m_list->tape()->index(m_row).data(Qt::AccessibleTextRole).toString();
    }

    QRect rect() const override {
        if (!isValid())
            return QRect();
        const QRect r = m_list->lineRect(m_row);
        return QRect(m_list->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = true;
        if (!isValid())
            return s;
        const bool marked = m_list->currentRow() == m_row;
        s.selected = marked;
        s.focused = marked && m_list->hasFocus();
        s.offscreen = s.invisible = !m_list->viewport()->rect().intersects(m_list->lineRect(m_row));
        return s;
    }

private:
    QPointer<TapeList> m_list;
    int m_row;
};

// The tape as a list whose items are its lines, made one by one as a screen reader asks for them
// and forgotten when the tape is cleared.
class TapeAccessible : public QAccessibleWidget {
public:
    explicit TapeAccessible(TapeList* list) : QAccessibleWidget(list, QAccessible::List) {
        m_reset = QObject::connect(list->tape(), &QAbstractItemModel::modelReset, list,
                                   [this] { forgetLines(); });
    }
    ~TapeAccessible() override {
        QObject::disconnect(m_reset);
        forgetLines();
    }

    int childCount() const override { return list()->count(); }

    QAccessibleInterface* child(int row) const override {
        if (row < 0 || row >= childCount())
            return nullptr;
        QAccessible::Id& id = m_lines[row];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new TapeLineAccessible(list(), row));
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it)
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        return -1;
    }

    QAccessibleInterface* focusChild() const override {
        return list()->hasFocus() ? child(list()->currentRow()) : nullptr;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = list()->viewport()->mapFromGlobal(QPoint(x, y));
        if (!list()->viewport()->rect().contains(p))
            return nullptr;
        const QRect first = list()->lineRect(0); // above the viewport once scrolled
        return child((p.y() - first.top()) / first.height());
    }

private:
    TapeList* list() const { return static_cast<TapeList*>(widget()); }

    void forgetLines() {
        for (QAccessible::Id id : std::as_const(m_lines))
            QAccessible::deleteAccessibleInterface(id);
        m_lines.clear();
    }

    mutable QHash<int, QAccessible::Id> m_lines;
    QMetaObject::Connection m_reset;
};

QAccessibleInterface* tapeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("TapeList") && object && object->isWidgetType())
        return new TapeAccessible(static_cast<TapeList*>(object));
    return nullptr;
}

} // namespace

TapeList::TapeList(const TapeModel* model, QWidget* parent)
    : QAbstractScrollArea(parent), m_model(model) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(tapeAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled)
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
        if (hasFocus()) {
            QAccessibleEvent event(this, QAccessible::Focus);
            event.setChild(m_current);
            QAccessible::updateAccessibility(&event);
        }
    }
    viewport()->update();
}

QRect TapeList::lineRect(int row) const {
    const int h = lineHeight();
    return QRect(-horizontalScrollBar()->value(), (row - firstRow()) * h,
                 horizontalScrollBar()->maximum() + viewport()->width(), h);
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
    const int last = std::min(count() - 1, firstRow() + viewport()->height() / lineHeight() + 1);
    for (int row = firstRow(); row <= last; ++row) {
        opt.rect = lineRect(row);
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
