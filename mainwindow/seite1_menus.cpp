// The menus and the toolbar of the main window, each entry and button connected to its command.
#include "seite1.h"
#include "seite1_build.h"

#include "kern.h"
#include "toolbaricons.h"
#include "tracksystemmenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using namespace Seite1Build;

void Seite1::buildToolbar() {
    m_toolbar1 = make<QToolBar>(m_client, "Toolbar1");
    m_toolbar1->setMovable(false);
    m_toolbar1->setFloatable(false);
    m_toolbar1->setIconSize(QSize(16, 16));
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    place(m_toolbar1, 0, 0, 9480, 420);
    struct Button {
        const char* key; // none: a separator
        const char* tip;
        void (Seite1::*command)();
    };
    const Button buttons[11] = {
        {nullptr, nullptr, nullptr},
        {"laden", "Gleisliste laden", &Seite1::loadCommand},
        {"speichern", "Gleisliste speichern", &Seite1::saveCommand},
        {nullptr, nullptr, nullptr},
        {"drucken", "Drucken", &Seite1::printResultList},
        {nullptr, nullptr, nullptr},
        {"Rechner", "Rechner mit Ergebnisübernahme", &Seite1::openCalculator},
        {nullptr, nullptr, nullptr},
        {"Ende", "Programm beenden", &Seite1::endCommand},
        {nullptr, nullptr, nullptr},
        {"Hilfe", "Bedienungshilfe", &Seite1::openHelp},
    };
    for (int pos = 1; pos <= 10; ++pos) {
        const Button& b = buttons[pos];
        QAction* a = nullptr;
        if (!b.key) {
            a = m_toolbar1->addSeparator();
        } else {
            a = m_toolbar1->addAction(toolbarIcon(QLatin1String(b.key)), QString());
            a->setToolTip(QString::fromUtf8(b.tip));
            a->setProperty("Key", QLatin1String(b.key));
            connect(a, &QAction::triggered, this, b.command);
            // A button showing only its picture says what its tip says.
            if (QWidget* button = m_toolbar1->widgetForAction(a))
                button->setAccessibleName(a->toolTip());
        }
        a->setObjectName(QStringLiteral("Toolbar1"));
        a->setProperty("index", pos);
        m_toolButtons[std::size_t(pos)] = a;
    }
}

void Seite1::buildMenus() {
    // A separator when command is null.
    auto entry = [this](QMenu* menu, const char* name, int index, const QString& caption,
                        void (Seite1::*command)(), const QKeySequence& keys = {}) {
        QAction* a = command ? menu->addAction(caption) : menu->addSeparator();
        a->setObjectName(QLatin1String(name));
        a->setProperty("index", index);
        a->setShortcut(keys);
        if (command)
            connect(a, &QAction::triggered, this, command);
        return a;
    };

    m_dateiMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    m_dateiMenu->setObjectName(QStringLiteral("Datei_Menue"));
    entry(m_dateiMenu, "Datei", 1, QStringLiteral("Gleiswahl &laden"), &Seite1::loadCommand,
          QKeySequence(Qt::CTRL | Qt::Key_L));
    entry(m_dateiMenu, "Datei", 2, QStringLiteral("Gleiswahl &speichern"), &Seite1::saveCommand,
          QKeySequence(Qt::CTRL | Qt::Key_S));
    m_trackSystems = new TrackSystemMenu(m_dateiMenu);
    m_dateiMenu->addMenu(m_trackSystems);
    connect(m_trackSystems, &TrackSystemMenu::chosen, this, &Seite1::chooseTrackSystem);
    entry(m_dateiMenu, "Datei", 3, QString(), nullptr);
    entry(m_dateiMenu, "Datei", 4, QStringLiteral("&Drucken"), &Seite1::printResultList,
          QKeySequence(Qt::CTRL | Qt::Key_P));
    // The result commands connect the export entry when they are made.
    QAction* exportEntry = m_dateiMenu->addAction(QStringLiteral("Ergebnis &exportieren..."));
    exportEntry->setObjectName(QStringLiteral("Datei"));
    exportEntry->setProperty("index", 7);
    entry(m_dateiMenu, "Datei", 5, QString(), nullptr);
    entry(m_dateiMenu, "Datei", 6, QStringLiteral("&Beenden"), &Seite1::endCommand);

    m_extrasMenu = menuBar()->addMenu(QStringLiteral("E&xtras"));
    m_extrasMenu->setObjectName(QStringLiteral("MenuExtras"));
    entry(m_extrasMenu, "MExtras", 1, QStringLiteral("&Rechner"), &Seite1::openCalculator);
    entry(m_extrasMenu, "MExtras", 3, QString(), nullptr);
    const char* const presets[Kern::PresetCount] = {
        "&800 x 600",   "&1024 x 768", "1280 x 800",  "1&280 x 960",  "1280 x 1024", "1376 x &768",
        "1400 x 10&50", "1&440 x 900", "1600 x &900", "1&600 x 1200", "1680 x 1050", "1920 x 1080"};
    for (int p = 0; p < Kern::PresetCount; ++p) {
        QAction* a = m_extrasMenu->addAction(QLatin1String(presets[p]));
        a->setObjectName(QStringLiteral("MExtras"));
        a->setProperty("index", 10 + p);
        a->setCheckable(true);
        a->setChecked(p == 1);
        connect(a, &QAction::triggered, this, [this, p] { choosePreset(p); });
    }

    m_hilfeMenu = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    m_hilfeMenu->setObjectName(QStringLiteral("Hilfe_Menue"));
    entry(m_hilfeMenu, "Hilfe", 1, QStringLiteral("Bedienungsanleitung"), &Seite1::openHelp,
          QKeySequence(Qt::Key_F1));
    entry(m_hilfeMenu, "Hilfe", 2, QString(), nullptr);
    entry(m_hilfeMenu, "Hilfe", 3, QStringLiteral("&Info"), &Seite1::openAbout);
}

static QAction* findEntry(const QMenu* menu, const char* name, int index) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name) && a->property("index").toInt() == index)
            return a;
    return nullptr;
}

QAction* Seite1::dateiEntry(int index) const {
    return findEntry(m_dateiMenu, "Datei", index);
}
QAction* Seite1::extrasEntry(int index) const {
    return findEntry(m_extrasMenu, "MExtras", index);
}
QAction* Seite1::hilfeEntry(int index) const {
    return findEntry(m_hilfeMenu, "Hilfe", index);
}
