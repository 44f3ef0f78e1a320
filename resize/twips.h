#pragma once

#include <QRect>
#include <QSizeF>

class QWidget;

// Layout is designed in twips (1/1440 inch); widgets live in device-independent pixels.
// Every conversion goes through here: px = twips * logicalDpi / 1440 (15 twips a pixel at 96 dpi).
namespace Twips {

// Logical dots per inch of the screen the widget is on (the primary screen without a widget).
double logicalDpi(const QWidget* widget = nullptr);

// Twips to pixels, rounded once to the nearest whole pixel.
int toPx(double twips, const QWidget* widget = nullptr);
// Pixels to twips (unrounded).
double fromPx(double px, const QWidget* widget = nullptr);

// A rectangle given in twips (left, top, width, height) as a pixel rectangle.
QRect rectToPx(double left, double top, double width, double height,
               const QWidget* widget = nullptr);

// Puts a control at a rectangle given in twips, in its parent's coordinates.
void place(QWidget* control, double left, double top, double width, double height);

// Outer size and position of a top-level window (frame, title and menu bar included) in twips.
// The frame is WindowPlacement::frameMargins: the reported one, or before the window manager
// has framed the window the frame of the window it belongs to.
QSizeF outerSize(const QWidget* window);
QPointF outerPos(const QWidget* window);
// Gives a top-level window the outer size asked for: the client area is that size less the
// frame. A window of fixed size gets the new size as its fixed size.
void setOuterSize(QWidget* window, double widthTwips, double heightTwips);
void setOuterWidth(QWidget* window, double widthTwips);
void setOuterHeight(QWidget* window, double heightTwips);
// Puts the frame's top left corner there (the client area inside the frame).
void setOuterPos(QWidget* window, double leftTwips, double topTwips);

} // namespace Twips
