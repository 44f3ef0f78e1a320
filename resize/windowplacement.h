#pragma once

#include <QMargins>
#include <QRect>
#include <QtGlobal>

#include <functional>

class QWidget;

// Top-level windows are placed by their outer geometry (frame and title bar included), but a
// window manager puts its frame around a new window only once the window is on the screen, and
// may change it later (a fixed-size window loses its resize handle). A window placed before that
// lands a frame off: too high by the title bar, too tall by the frame. These helpers tell when
// the frame is known and place a window again when it changes.
namespace WindowPlacement {

// Whether the window system has reported the window's frame: it has one, or the window is on
// the screen without one (no window manager, no decoration, the offscreen platform).
bool isFramed(const QWidget* window);

// The window's frame: the reported one once framed; before that the frame of the window it
// belongs to (the same window manager draws the same title bar), or none.
QMargins frameMargins(const QWidget* window);

// Milliseconds of a steady clock; the guard after framing is timed by it.
using Clock = std::function<qint64()>;
qint64 steadyMs();

// Runs place now, and again whenever the window's frame differs from the one place last saw
// (the first framing after every showing, a decoration changed later), so that the outer
// geometry place computes holds. After each run the title bar is brought onto the screen. A
// maximised, minimised or full-screen window is left as it is. Lasts as long as the window;
// a second call replaces the first one's place.
// The window manager's own moves are undone for about a second after framing, timed by clock.
void keep(QWidget* window, std::function<void()> place, Clock clock = steadyMs);

// Centres a top-level window, frame included, on area (pixels, screen coordinates).
void centreIn(QWidget* window, const QRect& area);

// Moves a top-level window so that its title bar lies within the available area of its screen:
// the frame's top edge not above the available top nor lower than a title bar above its bottom;
// horizontally the whole window inside as far as it fits, its left edge at the available left
// where it is wider.
void keepTitleBarOnScreen(QWidget* window);

} // namespace WindowPlacement
