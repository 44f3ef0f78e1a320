// The menus and the toolbar of the main window; every entry reaches its handler with its index.
#include "seite1.h"
#include "seite1_build.h"

#include "kern.h"
#include "toolbaricons.h"

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
        const char* key;
        const char* tag;
        const char* tip;
    };
    const Button buttons[11] = {
        {nullptr, nullptr, nullptr},
        {"laden", "1", "Gleisliste laden"},
        {"speichern", "2", "Gleisliste speichern"},
        {nullptr, nullptr, nullptr},
        {"drucken", "4", "Drucken"},
        {nullptr, nullptr, nullptr},
        {"Rechner", "6", "Rechner mit Ergebnisübernahme"},
        {nullptr, nullptr, nullptr},
        {"Ende", "8", "Programm beenden"},
        {nullptr, nullptr, nullptr},
        {"Hilfe", "10", "Bedienungshilfe"},
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
            a->setProperty("Tag", QLatin1String(b.tag));
            connect(a, &QAction::triggered, this, [this, pos] { Toolbar1_ButtonClick(pos); });
        }
        a->setObjectName(QStringLiteral("Toolbar1"));
        a->setProperty("index", pos);
        m_toolButtons[std::size_t(pos)] = a;
    }
}

void Seite1::buildMenus() {
    auto entry = [this](QMenu* menu, const char* name, int index, const QString& caption,
                        const QKeySequence& keys, void (Seite1::*handler)(int)) {
        QAction* a = caption.isEmpty() ? menu->addSeparator() : menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setProperty("index", index);
        if (!keys.isEmpty())
            a->setShortcut(keys);
        if (!caption.isEmpty())
            connect(a, &QAction::triggered, this,
                    [this, handler, index] { (this->*handler)(index); });
        return a;
    };

    m_dateiMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    m_dateiMenu->setObjectName(QStringLiteral("Datei_Menue"));
    entry(m_dateiMenu, "Datei", 1, QStringLiteral("Gleiswahl &laden"),
          QKeySequence(Qt::CTRL | Qt::Key_L), &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 2, QStringLiteral("Gleiswahl &speichern"),
          QKeySequence(Qt::CTRL | Qt::Key_S), &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 3, QString(), {}, &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 4, QStringLiteral("&Drucken"), QKeySequence(Qt::CTRL | Qt::Key_P),
          &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 7, QStringLiteral("Ergebnis &exportieren..."), {},
          &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 5, QString(), {}, &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 6, QStringLiteral("&Beenden"), {}, &Seite1::Datei_Click);

    m_extrasMenu = menuBar()->addMenu(QStringLiteral("E&xtras"));
    m_extrasMenu->setObjectName(QStringLiteral("MenuExtras"));
    entry(m_extrasMenu, "MExtras", 1, QStringLiteral("&Rechner"), {}, &Seite1::MExtras_Click);
    entry(m_extrasMenu, "MExtras", 3, QString(), {}, &Seite1::MExtras_Click);
    const char* const presets[Kern::PresetCount] = {
        "&800 x 600",   "&1024 x 768", "1280 x 800",  "1&280 x 960",  "1280 x 1024", "1376 x &768",
        "1400 x 10&50", "1&440 x 900", "1600 x &900", "1&600 x 1200", "1680 x 1050", "1920 x 1080"};
    for (int p = 0; p < Kern::PresetCount; ++p) {
        QAction* a = entry(m_extrasMenu, "MExtras", 10 + p, QLatin1String(presets[p]), {},
                           &Seite1::MExtras_Click);
        a->setCheckable(true);
        a->setChecked(p == 1);
    }

    m_hilfeMenu = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    m_hilfeMenu->setObjectName(QStringLiteral("Hilfe_Menue"));
    entry(m_hilfeMenu, "Hilfe", 1, QStringLiteral("Bedienungsanleitung"), QKeySequence(Qt::Key_F1),
          &Seite1::Hilfe_Click);
    entry(m_hilfeMenu, "Hilfe", 2, QString(), {}, &Seite1::Hilfe_Click);
    entry(m_hilfeMenu, "Hilfe", 3, QStringLiteral("&Info"), {}, &Seite1::Hilfe_Click);
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
