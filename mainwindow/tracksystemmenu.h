#pragma once

#include "tracksystems.h"

#include <QMenu>

// "&Gleissystem": a submenu for each gauge ("H0", "N", "TT", "Z", "G") with an entry for each
// track system that comes with the program, named as model-railway builders know it.
class TrackSystemMenu : public QMenu {
    Q_OBJECT
public:
    explicit TrackSystemMenu(QWidget* parent = nullptr);

    // The entry of a system, or nullptr.
    QAction* entry(const QString& gauge, const QString& name) const;

signals:
    void chosen(const TrackSystems::System& system);
};
