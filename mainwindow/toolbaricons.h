#pragma once

#include <QIcon>
#include <QString>

// The six 16 x 16 toolbar pictures: the desktop theme's where it has them, otherwise our own.
QIcon toolbarIcon(const QString& key);
