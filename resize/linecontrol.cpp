#include "linecontrol.h"

#include "twips.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

namespace {
// A rule is a dark and a light line side by side.
constexpr int RuleThickness = 2;

int roundTwips(double v) {
    return int(std::lround(v));
}
} // namespace

LineControl::LineControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    updatePlacement();
}

int LineControl::X1() const {
    return roundTwips(m_x1);
}
int LineControl::X2() const {
    return roundTwips(m_x2);
}
int LineControl::Y1() const {
    return roundTwips(m_y1);
}
int LineControl::Y2() const {
    return roundTwips(m_y2);
}

bool LineControl::setX1(double twips) {
    return setCoordinate(m_x1, twips);
}
bool LineControl::setX2(double twips) {
    return setCoordinate(m_x2, twips);
}
bool LineControl::setY1(double twips) {
    return setCoordinate(m_y1, twips);
}
bool LineControl::setY2(double twips) {
    return setCoordinate(m_y2, twips);
}

void LineControl::setLine(double x1, double y1, double x2, double y2) {
    setX1(x1);
    setY1(y1);
    setX2(x2);
    setY2(y2);
}

bool LineControl::setCoordinate(double& member, double twips) {
    // The whole line must stay within what a widget can cover; the limit is the same for
    // every coordinate, so a point that passes keeps the bounding box valid.
    const double limit = Twips::fromPx(QWIDGETSIZE_MAX / 2, this);
    if (!std::isfinite(twips) || std::fabs(twips) > limit)
        return false;
    member = twips;
    updatePlacement();
    return true;
}

QPoint LineControl::p1() const {
    return QPoint(Twips::toPx(m_x1, this), Twips::toPx(m_y1, this));
}
QPoint LineControl::p2() const {
    return QPoint(Twips::toPx(m_x2, this), Twips::toPx(m_y2, this));
}

QSize LineControl::sizeHint() const {
    const QPoint a = p1();
    const QPoint b = p2();
    return QSize(std::abs(b.x() - a.x()) + RuleThickness, std::abs(b.y() - a.y()) + RuleThickness);
}

void LineControl::updatePlacement() {
    const QPoint a = p1();
    const QPoint b = p2();
    setGeometry(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())), sizeHint()));
    update();
}

void LineControl::paintEvent(QPaintEvent*) {
    const QPoint origin = geometry().topLeft();
    const QPoint a = p1() - origin;
    const QPoint b = p2() - origin;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.drawLine(a, b);
    painter.setPen(QPen(palette().color(QPalette::Light), 1));
    // Below a horizontal line, right of a vertical one, both for a slanted one.
    const QPoint shift(a.x() == b.x() || a.y() != b.y() ? 1 : 0,
                       a.y() == b.y() || a.x() != b.x() ? 1 : 0);
    painter.drawLine(a + shift, b + shift);
}

bool LineControl::event(QEvent* event) {
    // Twips become pixels by the screen's dpi, which is known for sure only once shown.
    // A new parent may sit on another screen.
    const QEvent::Type type = event->type();
    if (type == QEvent::ScreenChangeInternal || type == QEvent::Show ||
        type == QEvent::ParentChange)
        updatePlacement();
    return QWidget::event(event);
}
