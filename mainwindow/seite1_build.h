#pragma once

// Helpers shared by the files that build and run the main window (not part of its interface).

#include "twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

namespace Seite1Build {

using Twips::place;

// A control named after the design; an element of a control array carries its index.
template <typename T> T* make(QWidget* parent, const char* name, int index = -1) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    if (index >= 0)
        w->setProperty("index", index);
    return w;
}

QLabel* makeLabel(QWidget* parent, const char* name, int index, const QString& caption,
                  Qt::Alignment align, double l, double t, double w, double h);

// Which rule a box follows while typing and when it loses the focus.
enum class BoxRule { None, Length, Minimum, Maximum };

BoxRule ruleOf(const QObject* box);

// A right-aligned text box of the track table or the route settings; filter sees its keys and
// its focus changes.
QLineEdit* makeBox(QWidget* parent, QObject* filter, const char* name, int index, double l,
                   double t, double w, double h, BoxRule rule);

} // namespace Seite1Build
