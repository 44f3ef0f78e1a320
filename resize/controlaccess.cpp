#include "controlaccess.h"

#include "linecontrol.h"
#include "twips.h"

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace ControlAccess {

namespace {

// No screen shows larger type, and far larger sizes make the text engine build huge glyphs.
constexpr double MaxPointSize = 4096.0;

enum class Geometry { None, Top, Left, Width, Height };

Geometry geometryProperty(const QString& name) {
    if (name == QLatin1String("Top"))
        return Geometry::Top;
    if (name == QLatin1String("Left"))
        return Geometry::Left;
    if (name == QLatin1String("Width"))
        return Geometry::Width;
    if (name == QLatin1String("Height"))
        return Geometry::Height;
    return Geometry::None;
}

bool lengthFits(double twips, const QWidget* widget) {
    return std::isfinite(twips) && std::fabs(twips) <= Twips::fromPx(QWIDGETSIZE_MAX, widget);
}

bool sizeFits(double twips, const QWidget* widget) {
    return lengthFits(twips, widget) && twips >= 0;
}

bool pointSizeFits(double points) {
    return std::isfinite(points) && points > 0 && points <= MaxPointSize;
}

// Lines are drawn, not lettered: a LineControl reports no font at all.
bool hasFontsize(const QObject* control) {
    return qobject_cast<const QWidget*>(control) && !qobject_cast<const LineControl*>(control);
}

QMetaProperty fontProperty(const QObject* control) {
    if (qobject_cast<const LineControl*>(control))
        return {};
    const QMetaObject* meta = control->metaObject();
    const QMetaProperty prop = meta->property(meta->indexOfProperty("font"));
    if (prop.isValid() && prop.metaType() == QMetaType::fromType<QFont>())
        return prop;
    return {};
}

Result readLine(const LineControl* line, const QString& name, double& value) {
    if (name == QLatin1String("X1"))
        value = line->X1();
    else if (name == QLatin1String("X2"))
        value = line->X2();
    else if (name == QLatin1String("Y1"))
        value = line->Y1();
    else if (name == QLatin1String("Y2"))
        value = line->Y2();
    else
        return Result::Unsupported;
    return Result::Ok;
}

Result writeLine(LineControl* line, const QString& name, double value) {
    bool taken;
    if (name == QLatin1String("X1"))
        taken = line->setX1(value);
    else if (name == QLatin1String("X2"))
        taken = line->setX2(value);
    else if (name == QLatin1String("Y1"))
        taken = line->setY1(value);
    else if (name == QLatin1String("Y2"))
        taken = line->setY2(value);
    else
        return Result::Unsupported;
    return taken ? Result::Ok : Result::Refused;
}

Result writeGeometry(QWidget* widget, Geometry which, double value) {
    const bool isSize = which == Geometry::Width || which == Geometry::Height;
    if (isSize ? !sizeFits(value, widget) : !lengthFits(value, widget))
        return Result::Refused;
    const int px = Twips::toPx(value, widget);
    switch (which) {
    case Geometry::Top:
        widget->move(widget->x(), px);
        break;
    case Geometry::Left:
        widget->move(px, widget->y());
        break;
    case Geometry::Width:
        widget->resize(px, widget->height());
        break;
    case Geometry::Height:
        // A combo box is as high as its style makes it for its font; it refuses other heights
        // but must still follow a font that has just grown or shrunk.
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            combo->resize(combo->width(), combo->sizeHint().height());
            return Result::Refused;
        }
        widget->resize(widget->width(), px);
        break;
    case Geometry::None:
        return Result::Unsupported;
    }
    return Result::Ok;
}

void collect(const QObject* parent, QList<QObject*>& out, bool actionsOnly) {
    for (QObject* child : parent->children()) {
        if (auto* action = qobject_cast<QAction*>(child)) {
            out.append(action);
            continue;
        }
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget)
            continue;
        if (qobject_cast<QMenuBar*>(widget) || qobject_cast<QMenu*>(widget)) {
            collect(widget, out, true);
            continue;
        }
        if (widget->isWindow())
            continue;
        const QString name = widget->objectName();
        if (!actionsOnly && !name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            out.append(widget);
        collect(widget, out, actionsOnly);
    }
}

} // namespace

Result read(const QObject* control, const QString& name, double& value) {
    if (!control)
        return Result::Unsupported;
    if (auto* line = qobject_cast<const LineControl*>(control)) {
        const Result r = readLine(line, name, value);
        if (r != Result::Unsupported)
            return r;
    }
    if (name == QLatin1String("Fontsize") || name == QLatin1String("Font.Size")) {
        QFont font;
        if (name == QLatin1String("Fontsize")) {
            if (!hasFontsize(control))
                return Result::Unsupported;
            font = static_cast<const QWidget*>(control)->font();
        } else {
            const QMetaProperty prop = fontProperty(control);
            if (!prop.isValid())
                return Result::Unsupported;
            font = prop.read(control).value<QFont>();
        }
        // A font sized in pixels has no point size to scale.
        if (font.pointSizeF() <= 0)
            return Result::Refused;
        value = font.pointSizeF();
        return Result::Ok;
    }
    const Geometry which = geometryProperty(name);
    const auto* widget = qobject_cast<const QWidget*>(control);
    if (which == Geometry::None || !widget || qobject_cast<const LineControl*>(control))
        return Result::Unsupported;
    const QRect g = widget->geometry();
    const int px = which == Geometry::Top     ? g.y()
                   : which == Geometry::Left  ? g.x()
                   : which == Geometry::Width ? g.width()
                                              : g.height();
    value = Twips::fromPx(px, widget);
    return Result::Ok;
}

Result write(QObject* control, const QString& name, double value) {
    if (!control)
        return Result::Unsupported;
    if (auto* line = qobject_cast<LineControl*>(control)) {
        const Result r = writeLine(line, name, value);
        if (r != Result::Unsupported)
            return r;
    }
    if (name == QLatin1String("Fontsize")) {
        if (!hasFontsize(control))
            return Result::Unsupported;
        if (!pointSizeFits(value))
            return Result::Refused;
        auto* widget = static_cast<QWidget*>(control);
        QFont font = widget->font();
        font.setPointSizeF(value);
        widget->setFont(font);
        return Result::Ok;
    }
    if (name == QLatin1String("Font.Size")) {
        const QMetaProperty prop = fontProperty(control);
        if (!prop.isValid() || !prop.isWritable())
            return Result::Unsupported;
        if (!pointSizeFits(value))
            return Result::Refused;
        QFont font = prop.read(control).value<QFont>();
        font.setPointSizeF(value);
        return prop.write(control, QVariant::fromValue(font)) ? Result::Ok : Result::Refused;
    }
    const Geometry which = geometryProperty(name);
    auto* widget = qobject_cast<QWidget*>(control);
    if (which == Geometry::None || !widget || qobject_cast<LineControl*>(control))
        return Result::Unsupported;
    return writeGeometry(widget, which, value);
}

Result move(QObject* control, double left, double top, double width, double height) {
    auto* widget = qobject_cast<QWidget*>(control);
    if (!widget || qobject_cast<LineControl*>(control))
        return Result::Unsupported;
    if (!lengthFits(left, widget) || !lengthFits(top, widget) || !sizeFits(width, widget) ||
        !sizeFits(height, widget))
        return Result::Refused;
    widget->setGeometry(Twips::rectToPx(left, top, width, height, widget));
    return Result::Ok;
}

QString controlKey(const QObject* control) {
    if (!control)
        return {};
    QString key = control->objectName();
    bool isElement = false;
    const int index = control->property("index").toInt(&isElement);
    if (isElement)
        key += QString::number(index);
    return key;
}

QList<QObject*> controls(const QWidget* window) {
    QList<QObject*> out;
    if (window)
        collect(window, out, false);
    return out;
}

} // namespace ControlAccess
