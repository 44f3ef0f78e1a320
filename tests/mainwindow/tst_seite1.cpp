// The main window driven like a user: typing, line breaks, the search, sorting, dispatch and
// closing.
#include "accessibility.h"
#include "datarow.h"
#include "filefaults.h"
#include "kern.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "resulttablemodel.h"
#include "searchprogressbar.h"
#include "searchrunner.h"
#include "seite1.h"
#include "settings.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QToolBar>
#include <QtTest>

#include <atomic>
#include <memory>

using namespace std::chrono_literals;

class TestSeite1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        QFile::remove(Kern::settingsFilePath());
        w = Kern::Main();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->activateWindow();
    }

    void cleanup() {
        delete w;
        w = nullptr;
    }

    // Row by row through the track table, then the route settings and the start button.
    void tabOrder() {
        const std::pair<QWidget*, QWidget*> steps[] = {{w->check(1), w->articleBox(1)},
                                                       {w->priceBox(1), w->check(2)},
                                                       {w->priceBox(10), w->routeBox()},
                                                       {w->excessList(), w->limitBox()},
                                                       {w->limitBox(), w->startButton()}};
        for (const auto& [from, to] : steps) {
            from->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(from, Qt::Key_Tab);
            QCOMPARE(w->focusWidget(), to);
        }
    }

    void typingRules_data() {
        dataColumns<QString, QString, QString, QString, QString, QString, QString>(
            {"box", "keys", "typed", "left", "emptied", "pasted", "pastedShown"});
        dataRow("length", "Text3", "a-64,3.,5\b", "64.3", "64.3", "0,0", "64,3", "64.3");
        dataRow("route box, unfinished", "Text2", "12,x", "12.", "12.", "0,0", "12a", "0,0");
        dataRow("minimum digits", "Text4", "1,2-a3\b4", "124", "124", "0", "2,5", "0");
        dataRow("maximum zeros", "Text5", "0.0", "00", "9999", "9999", "12", "12");
        dataRow("article free text", "Text6", "A-1,5", "A-1,5", "A-1,5", "", "A-1,5", "A-1,5");
        dataRow("limit three characters", "Text1", "abcd", "abc", "abc", "", "1234", "123");
    }

    // Each box has its typing rule and its texts on leaving it, typed and emptied: row 9 of the
    // track table, or the single box of that name. Pasting goes through the same rule (a refused
    // text is left out whole), so what the box shows is what the search reads; each paste path
    // is checked box kind by box kind in tst_tableinput.
    void typingRules() {
        QFETCH(QString, box);
        QFETCH(QString, keys);
        QFETCH(QString, typed);
        QFETCH(QString, left);
        QFETCH(QString, emptied);
        QFETCH(QString, pasted);
        QFETCH(QString, pastedShown);
        QLineEdit* e = nullptr;
        for (QLineEdit* c : w->findChildren<QLineEdit*>(box))
            if (c->property("index").toInt() == 9 || !c->property("index").isValid())
                e = c;
        QVERIFY(e);
        e->setFocus();
        e->clear();
        QTest::keyClicks(e, keys);
        QCOMPARE(e->text(), typed);
        w->articleBox(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(e->text(), left);
        e->setFocus();
        e->clear();
        w->articleBox(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(e->text(), emptied);
        QApplication::clipboard()->setText(pasted);
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e->text(), pastedShown);
    }

    void focusRulesOnlyWithinTheWindow() {
        // Opening another window, switching to another program or the menu bar is no leaving
        // of the box.
        QLineEdit* e = w->maximumBox(4);
        e->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w));
        e->clear();
        QApplication::setActiveWindow(nullptr);
        QCOMPARE(e->text(), QString());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        TestHelp::answerModal([](QWidget* modal) { modal->close(); });
        w->toolbarButton(6)->trigger(); // the calculator
        QCOMPARE(e->text(), QString());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        e->setFocus();
        QTest::keyClick(e, Qt::Key_Alt);
        QTest::keyRelease(e, Qt::Key_Alt);
        QCOMPARE(e->text(), QString());
        e->setFocus(Qt::TabFocusReason); // the Alt key took it to the menu bar
        w->minimumBox(4)->setFocus(Qt::TabFocusReason);
        QCOMPARE(e->text(), QStringLiteral("9999"));
    }

    // No box of the track table, nor the route and limit boxes, ever holds a line break, be it
    // set or composed: cells pasted from a spreadsheet would otherwise break the lines of a saved
    // table.
    void lineBreaksEveryBox() {
        const QString cells = QStringLiteral("7\n8\n"); // the limit box takes three characters
        for (QLineEdit* e : {w->articleBox(2), w->lengthBox(3), w->minimumBox(4), w->maximumBox(5),
                             w->priceBox(6), w->routeBox(), w->limitBox()}) {
            e->setText(cells);
            QCOMPARE(e->text(), QStringLiteral("7 8"));
        }
        QLineEdit* e = w->articleBox(1);
        QInputMethodEvent composed;
        composed.setCommitString(cells);
        e->clear();
        QApplication::sendEvent(e, &composed);
        QCOMPARE(e->text(), QStringLiteral("7 8"));
        // A key that types several characters: each goes through the rule.
        e = w->lengthBox(1);
        QKeyEvent several(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                          QStringLiteral("1a,-2"));
        e->setText(QStringLiteral("5"));
        e->setCursorPosition(1);
        QApplication::sendEvent(e, &several);
        QCOMPARE(e->text(), QStringLiteral("51.2"));
    }

    // The start-up table: eight types within 1000 mm exactly.
    void startSearch() {
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_VERIFY(!w->searchRunning());
        const Kern::ResultTableModel* m = w->resultTable();
        QCOMPARE(m->rowCount(), 4);
        QStringList headings, row;
        for (int c = 0; c < m->columnCount(); ++c) {
            headings << m->headerData(c, Qt::Horizontal).toString();
            row << m->cellText(1, c);
        }
        QCOMPARE(headings.join(','), "lfd. Nr.,Länge,-/+,24064,24071,24077,24094,24172,24188,24229,"
                                     "24236,Anzahl Gleise,Gesamtpreis");
        QCOMPARE(row.join(','), QStringLiteral("1,1000,0,0,0,,2,5,3,,1,,,11,0,00"));
        const QStringList lines = w->resultLabel()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral(" Ergebnis: 4 Kombinationen "));
        QVERIFY2(lines.value(1).startsWith(" (Dauer: ") && lines.value(1).endsWith(" Sek.)"),
                 qPrintable(lines.value(1)));
        // A screen reader finds the grid's headings and cells as shown.
        QAccessibleTableInterface* table =
            QAccessible::queryAccessibleInterface(w->grid())->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), m->rowCount());
        for (int c = 0; c < m->columnCount(); ++c) {
            QCOMPARE(table->columnDescription(c), headings.at(c));
            QCOMPARE(table->cellAt(0, c)->text(QAccessible::Name), row.at(c));
        }
    }

    // What a screen reader finds: every control named on its own, the picture buttons too, the
    // limit box labelled by its caption (the result grid: see startSearch).
    void readableByScreenReader() {
        QCOMPARE(unnamedOrSharedControls(w), QStringList());
        QSet<QString> buttonNames;
        for (int position : {1, 2, 4, 6, 8, 10})
            buttonNames << accessibleName(
                w->toolbar()->widgetForAction(w->toolbarButton(position)));
        buttonNames.remove(QString());
        QCOMPARE(buttonNames.size(), 6);
        QStringList labels;
        const auto relations =
            QAccessible::queryAccessibleInterface(w->limitBox())->relations(QAccessible::Label);
        for (const auto& [label, relation] : relations)
            labels << label->object()->objectName();
        QVERIFY2(labels.contains(QStringLiteral("Label3")), qPrintable(labels.join(',')));
    }

    void minMaxMessageAndFocus() {
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_VERIFY(!w->searchRunning());
        w->minimumBox(3)->setText(QStringLiteral("10000"));
        QString seen;
        TestHelp::noteMessage(&seen);
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_VERIFY(!w->searchRunning());
        QCOMPARE(seen, QStringLiteral("Eingabefehler|Achtung, die Min.-Anzahl eines gewünschten "
                                      "Gleises darf nicht größer als die Max.-Anzahl sein."));
        QTRY_COMPARE(w->focusWidget(), static_cast<QWidget*>(w->minimumBox(3)));
        QCOMPARE(w->resultTable()->rowCount(), 4); // the previous result stays
        QCOMPARE(w->resultLabel()->text(), QString());
    }

    // Every click sorts the other way round from the one before, whichever column it was on; a
    // click on a data cell sorts by its column too.
    void sortingAlternates() {
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_VERIFY(!w->searchRunning());
        QHeaderView* header = w->grid()->horizontalHeader();
        QStringList orders;
        auto click = [&](int column, bool heading) {
            const QModelIndex cell = w->grid()->model()->index(2, column);
            if (heading)
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                                  QPoint(header->sectionViewportPosition(column) + 5, 5));
            else
                QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {},
                                  w->grid()->visualRect(cell).center());
            QString order;
            for (int r = 1; r <= 4; ++r)
                order += w->resultTable()->cellText(r, 0);
            orders << order;
        };
        click(11, true); // "Anzahl Gleise" falls from 11 to 8 in the order found
        click(11, true);
        click(0, true);
        click(0, false);
        QCOMPARE(orders.join(' '), QStringLiteral("4321 1234 1234 4321"));
    }

    // The window stays usable while a search runs: the running count shows, the start button,
    // Esc or closing stop it, and what was found up to then is kept. A stop that comes once the
    // search has returned (its end not yet handled by the window), or that the search outran to
    // its limit, leaves the result complete.
    void stopping_data() {
        dataColumns<QString, int, QString>({"how", "found", "ending"});
        dataRow("start button", "button", 2, " (Abgebrochen nach ");
        dataRow("Esc in a box", "Esc", 2, " (Abgebrochen nach ");
        dataRow("closing the window", "close", 2, "");
        dataRow("stop as the search reached its limit", "button", 4, " (Dauer: ");
        dataRow("stop after the search returned", "returned", 2, " (Dauer: ");
    }
    void stopping() {
        QFETCH(QString, how);
        QFETCH(int, found);
        QFETCH(QString, ending);
        const bool returns = how == QLatin1String("returned");
        w->limitBox()->setText(QStringLiteral("4"));
        w->searchRunner()->setSearchFunction(
            [=](const Kern::SearchRequest& request, Kern::SearchControl* control) {
                std::vector<Kern::FoundCombination> rows = Kern::searchCombinations(request);
                rows.resize(std::size_t(found));
                control->found = found;
                while (!returns && !control->cancel)
                    QThread::msleep(1);
                return rows;
            });
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QVERIFY(w->searchRunning());
        QCOMPARE(w->startButton()->text(), QStringLiteral("Abbrechen"));
        const QString caption = Kern::resultCaption(found);
        if (returns) {
            auto* worker = w->searchRunner()->findChild<QThread*>();
            QVERIFY(worker);
            worker->wait(); // its end is not handled yet: the search still counts as running
        } else {
            QTRY_COMPARE(w->resultLabel()->text(), caption);
            QTest::keyClick(w, Qt::Key_S, Qt::AltModifier); // starts nothing new
        }
        QVERIFY(w->searchRunning());
        if (how == QLatin1String("close")) {
            w->close();
            QVERIFY(!w->searchRunning());
            return;
        }
        if (how == QLatin1String("Esc"))
            QTest::keyClick(w->lengthBox(2), Qt::Key_Escape);
        else
            w->startButton()->click(); // at once, before any event: the search's end waits
        QTRY_VERIFY(!w->searchRunning());
        QCOMPARE(w->resultTable()->rowCount(), found);
        const QStringList lines = w->resultLabel()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), caption);
        QVERIFY2(lines.value(1).startsWith(ending), qPrintable(lines.value(1)));
        QCOMPARE(w->startButton()->text(), QStringLiteral("&Start Berechnung"));
    }

    // A search that runs longer than half a second shows how far it has come, and about how long
    // it still takes once its pace is steady; one that returned within it shows nothing, also
    // when the window handles its end later. However the search ends, the bar is gone.
    void progressBar_data() {
        dataColumns<QString, QString>({"ending", "seen"});
        const char* shown = "-|100 10 %|200 20 %|300 30 % – noch etwa 4 Sek.";
        dataRow("finished", "finished", shown);
        dataRow("start button", "button", shown);
        dataRow("returned within half a second", "returned", "-|-|-|-");
    }
    void progressBar() {
        QFETCH(QString, ending);
        QFETCH(QString, seen);
        struct Shared {
            std::atomic<std::chrono::nanoseconds> now{};
            std::atomic<Kern::SearchControl*> control{nullptr};
            std::atomic<bool> release{false};
        };
        const auto shared = std::make_shared<Shared>();
        SearchRunner* runner = w->searchRunner();
        runner->setClock([shared] { return shared->now.load(); });
        runner->setSearchFunction([shared](const Kern::SearchRequest&, Kern::SearchControl* c) {
            shared->control = c;
            while (!shared->release && !c->cancel)
                QThread::msleep(1);
            return std::vector<Kern::FoundCombination>();
        });
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_VERIFY(shared->control.load());
        if (ending == QLatin1String("returned")) {
            shared->release = true;
            QThread* worker = runner->findChild<QThread*>();
            QVERIFY(worker);
            worker->wait(); // its end is not handled yet
        }
        const SearchProgressBar* bar = w->progressBar();
        QStringList shown;
        for (const auto& [now, share] :
             {std::pair{400ms, 0.05}, {600ms, 0.1}, {1200ms, 0.2}, {1800ms, 0.3}}) {
            shared->now = now;
            shared->control.load()->progress = share;
            runner->tick();
            shown << (bar->isVisible() ? QString::number(bar->value()) + ' ' + bar->text() : "-");
        }
        QCOMPARE(shown.join('|'), seen);
        QCOMPARE(bar->accessibleName(), QStringLiteral("Fortschritt der Berechnung"));
        if (ending == QLatin1String("finished"))
            shared->release = true;
        else if (ending == QLatin1String("button"))
            w->startButton()->click();
        QTRY_VERIFY(!w->searchRunning());
        QVERIFY(bar->isHidden());
    }

    // At every screen preset the progress bar lies inside the window, clear of the controls.
    void progressBarKeepsClear() {
        QWidget* bar = w->progressBar();
        QStringList clashes;
        for (int preset = 0; preset <= 11; ++preset) {
            w->ApplyScreenPreset(preset);
            if (!bar->parentWidget()->rect().contains(bar->geometry()))
                clashes << QString::number(preset);
            for (const QWidget* other :
                 bar->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != bar && !other->objectName().isEmpty() &&
                    other->geometry().intersects(bar->geometry()))
                    clashes << QString::number(preset) + ' ' + other->objectName();
        }
        QCOMPARE(clashes, QStringList());
    }

    void dispatch_data() {
        dataColumns<int, QString, int, QString, QString>(
            {"position", "menu", "entry", "keys", "title"});
        dataRow("laden", 1, "Datei", 1, "", "Gleis-Tabelle laden");
        dataRow("speichern", 2, "Datei", 2, "Ctrl+S", "Gleis-Tabelle speichern");
        dataRow("drucken, nothing to print yet", 4, "Datei", 4, "Ctrl+P", "Drucken");
        dataRow("Rechner", 6, "MExtras", 1, "", "Rechner");
        dataRow("Hilfe", 10, "Hilfe", 1, "F1", "Hilfe zum Schotterfix");
    }

    // The toolbar button, the menu entry and its shortcut open the same window.
    void dispatch() {
        QFETCH(int, position);
        QFETCH(QString, menu);
        QFETCH(int, entry);
        QFETCH(QString, keys);
        QFETCH(QString, title);
        QStringList seen;
        auto cancel = [&](QWidget* modal) {
            seen << modal->windowTitle();
            modal->close();
        };
        TestHelp::answerModal(cancel);
        w->toolbarButton(position)->trigger();
        TestHelp::answerModal(cancel);
        QAction* a = menu == QLatin1String("Datei")     ? w->dateiEntry(entry)
                     : menu == QLatin1String("MExtras") ? w->extrasEntry(entry)
                                                        : w->hilfeEntry(entry);
        a->trigger();
        QStringList expected{title, title};
        if (!keys.isEmpty()) {
            QTRY_VERIFY(!QApplication::activeModalWidget());
            w->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));
            TestHelp::answerModal(cancel);
            QTest::keySequence(w, QKeySequence(keys));
            expected << title;
        }
        QCOMPARE(seen, expected);
        // Load and save cancelled: the caption shows the (empty) track-file name behind a blank.
        if (position <= 2)
            QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix "));
    }

    // Closing the window writes the settings; the other ways to close go through the table
    // question (tst_tablequestion), the round trip is in tst_presets.
    void closingWritesSettings_data() {
        dataColumns<QString, QByteArray>({"name", "written"});
        const QString name = QStringLiteral("/tmp/Gleise, Märklin.sfr");
        dataRow("name with a comma and an umlaut", name, " 1 \r\n" + name.toUtf8() + "\r\n");
        // Read back, such a name would be cut at the break and name another file.
        dataRow("name with a line break", "/tmp/Gleise\n/etc/passwd", QByteArray(" 1 \r\n\r\n"));
        dataRow("name with a CR", "/tmp/Gleise\r.sfr", QByteArray(" 1 \r\n\r\n"));
    }

    void closingWritesSettings() {
        QFETCH(QString, name);
        QFETCH(QByteArray, written);
        QFile::remove(Kern::settingsFilePath());
        w->setCurrentTrackFile(name);
        w->close();
        QVERIFY(!w->isVisible());
        QCOMPARE(TestHelp::contentOf(Kern::settingsFilePath()), written);
    }

private:
    Seite1* w = nullptr;
};

QTEST_MAIN(TestSeite1)
#include "tst_seite1.moc"
