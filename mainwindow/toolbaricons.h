#pragma once

#include <QIcon>
#include <QString>

// The six toolbar pictures: the desktop theme's where it has them, otherwise our own, drawn
// for every device pixel ratio.
QIcon toolbarIcon(const QString& key);
