#include "twips.h"

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
    return QRect(toPx(left, widget), toPx(top, widget), toPx(width, widget),
                 toPx(height, widget));
}

static QMargins frameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

QSizeF outerSize(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    return QSizeF(fromPx(frame.width(), window), fromPx(frame.height(), window));
}

QPointF outerPos(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    return QPointF(fromPx(frame.x(), window), fromPx(frame.y(), window));
}

void setOuterSize(QWidget* window, double widthTwips, double heightTwips) {
    const QMargins m = frameMargins(window);
    const int w = std::max(0, toPx(widthTwips, window) - m.left() - m.right());
    const int h = std::max(0, toPx(heightTwips, window) - m.top() - m.bottom());
    window->resize(w, h);
}

void setOuterWidth(QWidget* window, double widthTwips) {
    setOuterSize(window, widthTwips, outerSize(window).height());
}

void setOuterHeight(QWidget* window, double heightTwips) {
    setOuterSize(window, outerSize(window).width(), heightTwips);
}

void setOuterPos(QWidget* window, double leftTwips, double topTwips) {
    window->move(toPx(leftTwips, window), toPx(topTwips, window));
}

} // namespace Twips
