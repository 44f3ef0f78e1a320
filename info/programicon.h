#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace Info {

// The application title: the About window's caption and the title of its messages.
inline const QString ApplicationTitle = QStringLiteral("Schotterfix");

// The program's own picture (track with sleepers over a ruler), 256 pixels square, compiled
// in. The icon is what the main window sets as its window icon.
QPixmap programPixmap();
QIcon programIcon();

} // namespace Info
