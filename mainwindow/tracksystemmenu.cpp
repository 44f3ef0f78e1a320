#include "tracksystemmenu.h"

#include <QAction>

TrackSystemMenu::TrackSystemMenu(QWidget* parent) : QMenu(QStringLiteral("&Gleissystem"), parent) {
    setObjectName(QStringLiteral("Gleissystem_Menue"));
    int index = 0;
    for (const TrackSystems::Gauge& gauge : TrackSystems::byGauge()) {
        QMenu* sub = addMenu(gauge.name);
        sub->setObjectName(QStringLiteral("Spur_Menue"));
        for (const TrackSystems::System& system : gauge.systems) {
            // An "&" in a name is shown, not taken as the entry's access key.
            QAction* a = sub->addAction(QString(system.name).replace(QLatin1Char('&'), "&&"));
            a->setObjectName(QStringLiteral("Gleissystem"));
            a->setProperty("index", ++index);
            a->setProperty("gauge", system.gauge);
            a->setProperty("system", system.name);
            connect(a, &QAction::triggered, this, [this, system] { emit chosen(system); });
        }
    }
}

QAction* TrackSystemMenu::entry(const QString& gauge, const QString& name) const {
    for (QAction* a : findChildren<QAction*>(QStringLiteral("Gleissystem")))
        if (a->property("gauge").toString() == gauge && a->property("system").toString() == name)
            return a;
    return nullptr;
}
