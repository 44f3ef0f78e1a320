#include "twips.h"

#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <limits>

namespace Twips {

namespace {
constexpr double TwipsPerInch = 1440.0;

int clampToInt(double v) {
    if (!std::isfinite(v))
        return 0;
    constexpr double lim = 1 << 24; // far beyond any screen, keeps QRect arithmetic safe
    if (v > lim)
        return int(lim);
    if (v < -lim)
        return int(-lim);
    return int(std::lround(v));
}
} // namespace

double logicalDpi(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int toPx(double twips, const QWidget* widget) {
    return clampToInt(twips * logicalDpi(widget) / TwipsPerInch);
}

double fromPx(double px, const QWidget* widget) {
    return px * TwipsPerInch / logicalDpi(widget);
}

QRect rectToPx(double left, double top, double width, double height, const QWidget* widget) {
    return QRect(toPx(left, widget), toPx(top, widget), toPx(width, widget), toPx(height, widget));
}

void place(QWidget* control, double left, double top, double width, double height) {
    control->setGeometry(rectToPx(left, top, width, height, control));
}

QSizeF outerSize(const QWidget* window) {
    const QMargins m = WindowPlacement::frameMargins(window);
    const QSize client = window->size();
    return QSizeF(fromPx(client.width() + m.left() + m.right(), window),
                  fromPx(client.height() + m.top() + m.bottom(), window));
}

QPointF outerPos(const QWidget* window) {
    const QMargins m = WindowPlacement::frameMargins(window);
    const QPoint client = window->geometry().topLeft();
    return QPointF(fromPx(client.x() - m.left(), window), fromPx(client.y() - m.top(), window));
}

void setOuterSize(QWidget* window, double widthTwips, double heightTwips) {
    const QMargins m = WindowPlacement::frameMargins(window);
    const int w = std::max(0, toPx(widthTwips, window) - m.left() - m.right());
    const int h = std::max(0, toPx(heightTwips, window) - m.top() - m.bottom());
    // A window of fixed size stays fixed, at the new size: lifting the limits for a moment would
    // let the window manager redraw its frame as a resizable one and back.
    if (window->minimumSize() == window->maximumSize())
        window->setFixedSize(w, h);
    else
        window->resize(w, h);
}

void setOuterWidth(QWidget* window, double widthTwips) {
    setOuterSize(window, widthTwips, outerSize(window).height());
}

void setOuterHeight(QWidget* window, double heightTwips) {
    setOuterSize(window, outerSize(window).width(), heightTwips);
}

void setOuterPos(QWidget* window, double leftTwips, double topTwips) {
    const QMargins m = WindowPlacement::frameMargins(window);
    // Placed by its client area, inside the frame as far as it is known: move() would take the
    // position as the frame's only once the window system has reported the frame.
    const QPoint client(toPx(leftTwips, window) + m.left(), toPx(topTwips, window) + m.top());
    window->setGeometry(QRect(client, window->size()));
}

} // namespace Twips
