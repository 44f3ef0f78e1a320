#pragma once

#include <QAccessible>
#include <QSet>
#include <QStringList>
#include <QWidget>

// What a screen reader says for a widget.
inline QString accessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return QString();
    // A drop-down list's name on Linux is its value; a screen reader names it by its label.
    if (iface->role() == QAccessible::ComboBox) {
        const auto labels = iface->relations(QAccessible::Label);
        if (!labels.isEmpty())
            return labels.first().first->text(QAccessible::Name);
    }
    return iface->text(QAccessible::Name);
}

// The focusable widgets of window whose accessible name is missing or shared with another one,
// as "objectName[index]: name", empty when every control a person can reach says what it is.
inline QStringList unnamedOrSharedControls(QWidget* window) {
    QList<QWidget*> reachable;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->focusPolicy() != Qt::NoFocus && w->isEnabled() && !w->isHidden() &&
            !w->focusProxy() && w->window() == window)
            reachable << w;
    }
    QHash<QString, int> uses;
    for (QWidget* w : reachable)
        ++uses[accessibleName(w)];
    QStringList bad;
    for (QWidget* w : reachable) {
        const QString name = accessibleName(w);
        if (name.trimmed().isEmpty() || uses.value(name) > 1)
            bad << QStringLiteral("%1[%2] %3: '%4'")
                       .arg(w->objectName(), w->property("index").toString(),
                            QString::fromLatin1(w->metaObject()->className()), name);
    }
    return bad;
}
