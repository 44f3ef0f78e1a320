#pragma once

#include <QList>
#include <QString>

class QObject;
class QWidget;

// How the resize engine finds the controls of a window and reads and writes their layout
// properties by name, so that it needs to know no window and no widget class beyond the few
// that behave differently (the combo box, whose height its style decides, and LineControl).
namespace ControlAccess {

enum class Result {
    Ok,
    Unsupported, // the control has no such property
    Refused,     // it has, but cannot give or take this value
};

// Property names:
//   "Top", "Left", "Width", "Height"  widget geometry in twips relative to the parent
//   "X1", "X2", "Y1", "Y2"            end points of a LineControl in twips
//   "Fontsize"                        point size of a widget's font (a line has no font)
//   "Font.Size"                       point size of the QFont property "font" of any object
// Reading "Height" of a combo box works; writing it is refused and leaves the height to the
// style (the size hint for the current font) while the other three are taken as usual.
// Lengths beyond what a widget can hold, negative sizes, font sizes <= 0 and values that are
// not finite are refused and change nothing.
Result read(const QObject* control, const QString& name, double& value);
Result write(QObject* control, const QString& name, double value);

// Places and sizes a widget at once; refused as a whole when any value is refused.
Result move(QObject* control, double left, double top, double width, double height);

// objectName, followed directly by the dynamic property "index" in decimal for an element of a
// control array ("Label4" element 1 -> "Label41").
QString controlKey(const QObject* control);

// The controls of a window in a stable order: its child widgets depth first in creation order,
// then, wherever they are met, the actions (menu entries) among its children and in its menus.
//
// Only widgets with an objectName that does not start with "qt_" count as controls: every
// widget of this program is named, while Qt's own helpers are either unnamed (a table's
// headers, scroll-bar containers, the line edit of an editable combo box) or named "qt_..."
// (viewports, a spin box's line edit, the toolbar's extension button). Their children are
// still searched, so controls on an unnamed central widget are found. A widget that is a
// window of its own (a combo box's popup, a dialog parented to the window) is not part of
// the window's layout and is left out with everything on it; menu bars and menus contribute
// only their actions.
QList<QObject*> controls(const QWidget* window);

} // namespace ControlAccess
