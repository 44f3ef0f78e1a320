#include "updowncontrol.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void UpDownControl::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

void UpDownControl::setValue(int value) {
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    update();
    emit valueChanged(m_value);
}

QSize UpDownControl::sizeHint() const {
    return QSize(17, 20);
}

UpDownControl::Half UpDownControl::halfAt(const QPoint& pos) const {
    if (halfRect(Half::Up).contains(pos))
        return Half::Up;
    if (halfRect(Half::Down).contains(pos))
        return Half::Down;
    return Half::None;
}

QRect UpDownControl::halfRect(Half half) const {
    const int upper = height() / 2;
    if (half == Half::Up)
        return QRect(0, 0, width(), upper);
    if (half == Half::Down)
        return QRect(0, upper, width(), height() - upper);
    return QRect();
}

void UpDownControl::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    for (const Half half : {Half::Up, Half::Down}) {
        const bool atLimit = half == Half::Up ? m_value >= m_maximum : m_value <= m_minimum;
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = halfRect(half);
        button.state &= ~QStyle::State_HasFocus;
        if (m_pressed == half)
            button.state |= QStyle::State_Sunken;
        else
            button.state |= QStyle::State_Raised;
        if (atLimit || !isEnabled())
            button.state &= ~QStyle::State_Enabled;
        p.drawPrimitive(QStyle::PE_PanelButtonCommand, button);

        // The style's arrow stays small at any size; this one grows with the control.
        const QRectF r = button.rect;
        const double w = std::min(r.width() * 0.5, r.height() * 0.9);
        const double h = w / 2;
        const QPointF c = r.center();
        const double dir = half == Half::Up ? -1 : 1;
        const QPointF tri[3] = {{c.x() - w / 2, c.y() - dir * h / 2},
                                {c.x() + w / 2, c.y() - dir * h / 2},
                                {c.x(), c.y() + dir * h / 2}};
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(palette().color(button.state & QStyle::State_Enabled ? QPalette::Active
                                                                        : QPalette::Disabled,
                                   QPalette::ButtonText));
        p.drawPolygon(tri, 3);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void UpDownControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = halfAt(event->position().toPoint());
    update();
}

void UpDownControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Half pressed = m_pressed;
    m_pressed = Half::None;
    update();
    if (pressed != Half::None && halfAt(event->position().toPoint()) == pressed)
        pressed == Half::Up ? stepUp() : stepDown();
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        stepUp();
        break;
    case Qt::Key_Down:
        stepDown();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
