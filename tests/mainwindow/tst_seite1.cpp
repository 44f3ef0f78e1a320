// The main window driven like a user: input into the boxes, the question before a changed track
// table is lost, track systems, the search with its stop and progress bar, sorting, dispatch.
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
#include "tracksystemmenu.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <memory>

using namespace std::chrono_literals;

namespace {

// Puts text into the box as a user does on the given path (typed, composed or pasted in one of
// four ways), over the selection or at the cursor (a drop goes in where it lands and replaces no
// selection), or as the program sets it.
void enter(QLineEdit* box, const QString& text, const QString& path) {
    QApplication::clipboard()->setText(text);
    if (path == QLatin1String("keys")) {
        QTest::keyClicks(box, text);
    } else if (path == QLatin1String("set")) {
        box->setText(text);
    } else if (path == QLatin1String("composed")) {
        QInputMethodEvent composed;
        composed.setCommitString(text);
        QApplication::sendEvent(box, &composed);
    } else if (path == QLatin1String("Ctrl+V") || path == QLatin1String("Shift+Insert")) {
        QTest::keySequence(box, QKeySequence(path));
    } else if (path == QLatin1String("context menu")) {
        const QString key = QLatin1Char('\t') +
                            QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        for (QAction* a : menu->actions())
            if (a->text().endsWith(key)) // the entry that names the paste key
                a->trigger();
    } else {
        QMimeData data;
        data.setText(text);
        QPoint at(0, box->height() / 2);
        while (at.x() < box->width() && box->cursorPositionAt(at) != box->cursorPosition())
            at.rx()++;
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QApplication::sendEvent(box, &drop);
    }
}

// Answers the modal windows that open one after the other: a message box by the caption of a
// button ("Esc" presses Esc, "OK" closes it), a file dialog by a path to confirm or "cancel",
// any other window by closing it. Each is noted in *seen as "title|text", others as their title.
void answerInTurn(QStringList* seen, QStringList answers) {
    if (answers.isEmpty())
        return;
    const QString answer = answers.takeFirst();
    TestHelp::answerModal([=](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        *seen << (box ? box->windowTitle() + QLatin1Char('|') + box->text() : modal->windowTitle());
        answerInTurn(seen, answers);
        if (box && answer == QLatin1String("Esc"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (box)
            for (QAbstractButton* b : box->buttons())
                if (b->text() == answer || answer == QLatin1String("OK"))
                    b->click();
        if (dialog && answer != QLatin1String("cancel")) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(answer);
            static_cast<QDialog*>(dialog)->accept();
        }
        modal->close();
    });
}

} // namespace

class TestSeite1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        QFile::remove(Kern::settingsFilePath());
        w = Kern::Main();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void cleanup() {
        QTRY_VERIFY(!QApplication::activeModalWidget());
        delete w;
    }

    void boxInput_data() {
        dataColumns<QString, QString, QString, int, int, QString, QString, QString>(
            {"path", "name", "before", "from", "to", "input", "after", "left"});
        // Typed: each key goes through the box's rule; leaving the box fixes what it shows.
        dataRow("typed length", "keys", "Text3", "", 0, 0, "a-64,3.,5\b", "64.3", "64.3");
        dataRow("typed route, unfinished", "keys", "Text2", "", 0, 0, "12,x", "12.", "12.");
        dataRow("typed minimum digits", "keys", "Text4", "", 0, 0, "1,2-a3\b4", "124", "124");
        dataRow("typed maximum zeros", "keys", "Text5", "", 0, 0, "0.0", "00", "9999");
        dataRow("emptied length", "keys", "Text3", "64.3", 0, 4, "\b", "", "0,0");
        dataRow("emptied minimum", "keys", "Text4", "1", 0, 1, "\b", "", "0");
        dataRow("emptied maximum", "keys", "Text5", "12", 0, 2, "\b", "", "9999");
        // No box ever holds a line break, be it set or composed: cells pasted from a spreadsheet
        // would otherwise break the lines of a saved table.
        for (const char* name : {"Text6", "Text3", "Text4", "Text5", "Text7", "Text2", "Text1"})
            dataRow(qPrintable(QStringLiteral("set cells, %1").arg(QLatin1String(name))), "set",
                    name, "", 0, 0, "7\n8\n", "7 8", QString());
        dataRow("composed cells", "composed", "Text6", "", 0, 0, "7\n8\n", "7 8", QString());
        // Pasting follows the box's typing rule on every path; what the rule would not take is
        // refused whole, so that a box never shows a number the search reads otherwise ("1234,5"
        // would be read as 1234). Text set by the program (a loaded file) is shown as it is.
        for (const char* path : {"Ctrl+V", "Shift+Insert", "context menu", "drop"}) {
            // from, to: the selection a paste replaces and a drop leaves; from == to: the cursor
            const auto row = [path](const char* tag, const char* name, const char* before, int from,
                                    int to, const char* pasted, const char* after) {
                if (from == to || QLatin1String(path) != QLatin1String("drop"))
                    dataRow(qPrintable(QLatin1String(path) + ": " + QLatin1String(tag)), path, name,
                            before, from, to, pasted, after, QString());
            };
            row("decimal comma becomes the point", "Text2", "", 0, 0, "1234,5", "1234.5");
            row("digits at the cursor", "Text3", "12", 1, 1, "3.5", "13.52");
            row("a second point refused whole", "Text3", "2.0", 3, 3, "1.5", "2.0");
            row("thousands point refused, not misread", "Text2", "", 0, 0, "1.234,5", "");
            row("spreadsheet cell in the middle", "Text3", "34", 1, 1, "12\r\n", "3124");
            row("over a loaded text alike", "Text3", "64,3", 0, 4, "64,35", "64.35");
            row("count refuses a comma", "Text4", "1", 0, 1, "2,5", "1");
            row("article takes any text", "Text6", "A", 1, 1, "-1,5 x", "A-1,5 x");
            row("cells over a selection alike", "Text7", "7 8", 0, 3, "7\n8\n", "7 8");
        }
    }

    // Each box of row 4 of the track table, or the single box of that name, takes what is put
    // into it on each path as its rule says.
    void boxInput() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, input);
        QFETCH(QString, left);
        QLineEdit* e = nullptr;
        for (QLineEdit* c : w->findChildren<QLineEdit*>(name))
            if (c->property("index").toInt() == 4 || !c->property("index").isValid())
                e = c;
        e->setFocus();
        e->setText(before);
        e->setSelection(from, to - from); // none: the cursor goes to from
        enter(e, input, path);
        QTEST(e->text(), "after");
        if (!left.isNull()) {
            w->articleBox(1)->setFocus(Qt::TabFocusReason);
            QCOMPARE(e->text(), left);
        }
    }

    void changedTable_data() {
        dataColumns<QString, int, QString, QString, bool>(
            {"was", "row", "length", "price", "changed"});
        dataRow("length set by the focus rule", "", 10, "0,0", "0,00", false);
        dataRow("price as the search rewrites it", "", 1, "64.3", "0.0", false);
        dataRow("price no number, rewritten twice", "1.2.3", 1, "64.3", "1,2,3", false);
        dataRow("another price", "", 10, "0.0", "0,01", true);
        dataRow("a price emptied", "", 10, "0.0", "", true);
    }

    // Texts that mean the same to the program (the search and the focus rule rewrite them) are
    // no change.
    void changedTable() {
        QFETCH(QString, was);
        QFETCH(int, row);
        if (!was.isEmpty()) {
            w->priceBox(row)->setText(was);
            w->markTableUnchanged();
        }
        QFETCH(QString, length);
        QFETCH(QString, price);
        w->lengthBox(row)->setText(length);
        w->priceBox(row)->setText(price);
        QTEST(w->tableChanged(), "changed");
    }

    void question_data() {
        dataColumns<QString, QString, QStringList, bool, bool>(
            {"path", "file", "answers", "goesOn", "saved"});
        for (const char* path : {"close box", "Beenden", "toolbar Ende", "laden", "system"}) {
            auto row = [&](const char* name, const char* file, QStringList answers, bool goesOn,
                           bool saved) {
                if (goesOn && QLatin1String(path) == QLatin1String("laden"))
                    answers << QStringLiteral("cancel"); // the load dialog
                dataRow(qPrintable(QLatin1String(path) + ": " + QLatin1String(name)), path, file,
                        answers, goesOn, saved);
            };
            row("Ja saves to the current file", "current", {"&Ja"}, true, true);
            row("Ja asks for a name when there is none", "none", {"&Ja", "new"}, true, true);
            row("Ja, name dialog cancelled", "none", {"&Ja", "cancel"}, false, false);
            row("Ja, the save fails", "unwritable", {"&Ja", "OK"}, false, false);
            row("Nein", "current", {"&Nein"}, true, false);
            row("Abbrechen", "current", {"Abbrechen"}, false, false);
            row("Esc", "current", {"Esc"}, false, false);
        }
    }

    // A changed table is not lost on any path without the question; "&Ja" saves first, and a
    // save that fails or is cancelled keeps everything as it was, the window open.
    void question() {
        QFETCH(QString, path);
        QFETCH(QString, file);
        QFETCH(QStringList, answers);
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        const QString current = m_dir.filePath("aktuell.sfr"), fresh = m_dir.filePath("neu.sfr");
        QFile::remove(fresh);
        QVERIFY(TestHelp::put(current, "1\r\nALT\r\n1,00\r\n"));
        if (file != QLatin1String("none"))
            w->setCurrentTrackFile(file == QLatin1String("current") ? current : current + "/x.sfr");
        answers.replaceInStrings(QStringLiteral("new"), fresh);
        const QString typed = QStringLiteral("geändert");
        w->articleBox(3)->setText(typed);
        const QString title = w->windowTitle();
        QStringList seen;
        answerInTurn(&seen, answers);
        const QHash<QString, QAction*> commands{
            {"Beenden", w->dateiEntry(6)},
            {"toolbar Ende", w->toolbarButton(8)},
            {"laden", w->dateiEntry(1)},
            {"system",
             w->trackSystemMenu()->entry(QStringLiteral("N"), QStringLiteral("Minitrix"))}};
        commands.contains(path) ? commands[path]->trigger() : void(w->close());
        QTRY_VERIFY(!QApplication::activeModalWidget());

        QCOMPARE(seen.value(0),
                 title + QStringLiteral("|Die Gleis-Tabelle wurde geändert.\n"
                                        "Sollen die Änderungen gespeichert werden?"));
        QCOMPARE(seen.size(), answers.size());
        if (path == QLatin1String("laden"))
            QCOMPARE(seen.last() == QLatin1String("Gleis-Tabelle laden"), goesOn);
        else if (path == QLatin1String("system"))
            QCOMPARE(w->articleBox(3)->text() == typed, !goesOn);
        else
            QCOMPARE(w->isVisible(), !goesOn);
        const QString savedTo = file == QLatin1String("none") ? fresh : current;
        QCOMPARE(TestHelp::contentOf(savedTo).contains(typed.toUtf8()), saved);
        double preset = 0;
        if (saved && !w->isVisible()) // the settings remember the file saved to
            QCOMPARE(Kern::ReadSettings(&preset), savedTo);
    }

    // A saved table asks nothing on closing. The settings then written leave out a file name with
    // a line break: read back, it would be cut at the break and name another file.
    void closingSaved() {
        w->articleBox(2)->setText(QStringLiteral("neu"));
        QVERIFY(w->saveAs(m_dir.filePath(QStringLiteral("gespeichert.sfr"))));
        QVERIFY(!w->tableChanged()); // before closing, which would wait for an answer
        w->setCurrentTrackFile(QStringLiteral("/tmp/Gleise\n/etc/passwd"));
        w->close();
        QCOMPARE(TestHelp::contentOf(Kern::settingsFilePath()), QByteArray(" 1 \r\n\r\n"));
    }

    // A system fills the table as its file does, rows beyond its pieces emptied (also when a
    // user's own copy of the file holds fewer rows); check marks and counts stay. The table then
    // has no file: saving it never writes into the folder of the systems.
    void systemFillsTable() {
        const QString own = TrackSystems::searchFolders().constFirst();
        QVERIFY(QDir().mkpath(own));
        QVERIFY(TestHelp::put(own + "/z-maerklin-mini-club.sfr", "110.0\r\n8500\r\n0,00\r\n"));
        w->setCurrentTrackFile(m_dir.filePath(QStringLiteral("alt.sfr")));
        w->minimumBox(1)->setText(QStringLiteral("3"));
        w->check(2)->setChecked(false);
        w->articleBox(10)->setText(QStringLiteral("X")); // a change: "&Nein" discards it
        QStringList seen;
        answerInTurn(&seen, {"&Nein"});
        w->trackSystemMenu()->entry("Z", QString::fromUtf8("Märklin mini-club"))->trigger();
        QFile::remove(own + "/z-maerklin-mini-club.sfr");
        for (int r = 1; r <= 10; ++r)
            QCOMPARE(w->lengthBox(r)->text() + "|" + w->articleBox(r)->text() + "|" +
                         w->priceBox(r)->text(),
                     r == 1 ? QStringLiteral("110.0|8500|0,00") : QStringLiteral("0.0||0,00"));
        QCOMPARE(w->minimumBox(1)->text(), QStringLiteral("3"));
        QVERIFY(!w->check(2)->isChecked() && !w->tableChanged());
        QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix "));
    }

    // Every control is named on its own for a screen reader, the picture buttons too. The start-up
    // table: eight types within 1000 mm exactly (the prices as the search rewrites them), the grid
    // read by a screen reader as shown. Every click sorts the other way round from
    // the one before, whichever column it was on, also a click on a data cell. A minimum above its
    // maximum is refused, the result kept.
    void searchSortAndRefuse() {
        QCOMPARE(unnamedOrSharedControls(w), QStringList());
        QSet<QString> buttonNames;
        for (int position : {1, 2, 4, 6, 8, 10})
            buttonNames << accessibleName(
                w->toolbar()->widgetForAction(w->toolbarButton(position)));
        buttonNames.remove(QString());
        QCOMPARE(buttonNames.size(), 6);
        w->priceBox(1)->setText(QStringLiteral("2.5"));
        w->markTableUnchanged();
        search();
        QCOMPARE(w->priceBox(1)->text(), QStringLiteral("2,50"));
        QVERIFY(!w->tableChanged()); // the same price to the program: no question on closing
        const Kern::ResultTableModel* m = w->resultTable();
        QCOMPARE(m->rowCount(), 4);
        // Read as the grid shows them, which is as the model has them.
        QAccessibleTableInterface* table =
            QAccessible::queryAccessibleInterface(w->grid())->tableInterface();
        QCOMPARE(table->rowCount(), m->rowCount());
        QStringList headings, row;
        for (int c = 0; c < m->columnCount(); ++c) {
            headings << table->columnDescription(c);
            row << table->cellAt(0, c)->text(QAccessible::Name);
        }
        QCOMPARE(headings.join(','), "lfd. Nr.,Länge,-/+,24064,24071,24077,24094,24172,24188,24229,"
                                     "24236,Anzahl Gleise,Gesamtpreis");
        QCOMPARE(row.join(','), QStringLiteral("1,1000,0,0,0,,2,5,3,,1,,,11,0,00"));

        QHeaderView* header = w->grid()->horizontalHeader();
        QStringList orders;
        auto click = [&](int column, bool heading) {
            if (heading)
                QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                                  QPoint(header->sectionViewportPosition(column) + 5, 5));
            else
                QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {},
                                  w->grid()->visualRect(m->index(2, column)).center());
            QString order;
            for (int r = 1; r <= 4; ++r)
                order += m->cellText(r, 0);
            orders << order;
        };
        click(11, true); // "Anzahl Gleise" falls from 11 to 8 in the order found
        click(11, true);
        click(0, true);
        click(0, false);
        QCOMPARE(orders.join(' '), QStringLiteral("4321 1234 1234 4321"));

        w->minimumBox(3)->setText(QStringLiteral("10000"));
        QString seen;
        TestHelp::noteMessage(&seen);
        search();
        QCOMPARE(seen, QStringLiteral("Eingabefehler|Achtung, die Min.-Anzahl eines gewünschten "
                                      "Gleises darf nicht größer als die Max.-Anzahl sein."));
        QTRY_COMPARE(w->focusWidget(), static_cast<QWidget*>(w->minimumBox(3)));
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(w->resultLabel()->text(), QString());
    }

    void stopping_data() {
        dataColumns<QString, int, QString, bool>({"how", "found", "ending", "barShown"});
        dataRow("start button", "button", 2, " (Abgebrochen nach ", true);
        dataRow("Esc in a box", "Esc", 2, " (Abgebrochen nach ", true);
        dataRow("closing the window", "close", 2, "", true);
        dataRow("stop as the search reached its limit", "button", 4, " (Dauer: ", true);
        dataRow("search finished", "finished", 2, " (Dauer: ", true);
        dataRow("stop after the search returned", "returned", 2, " (Dauer: ", false);
    }

    // While a search runs the count shows, after half a second a bar with the share done and, at a
    // steady pace, the time to go. The start button, Esc or closing stop it, keeping what was
    // found. A stop once the search has returned (its end not yet handled by the window), or one
    // it outran to its limit, leaves the result complete; such a search shows no bar.
    void stopping() {
        QFETCH(QString, how);
        QFETCH(int, found);
        QFETCH(QString, ending);
        QFETCH(bool, barShown);
        struct Shared {
            std::atomic<std::chrono::nanoseconds> now{};
            std::atomic<Kern::SearchControl*> control{nullptr};
            std::atomic<bool> release{false};
        };
        const auto shared = std::make_shared<Shared>();
        shared->release = how == QLatin1String("returned");
        w->limitBox()->setText(QStringLiteral("4"));
        SearchRunner* runner = w->searchRunner();
        runner->setClock([shared] { return shared->now.load(); });
        runner->setSearchFunction([=](const Kern::SearchRequest& request, Kern::SearchControl* c) {
            std::vector<Kern::FoundCombination> rows = Kern::searchCombinations(request);
            rows.resize(std::size_t(found));
            shared->control = c;
            c->found = found;
            while (!shared->release && !c->cancel)
                QThread::msleep(1);
            return rows;
        });
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        const QString caption = Kern::resultCaption(found);
        if (how == QLatin1String("returned")) {
            // Its end is not handled yet: the search still counts as running.
            QVERIFY(runner->findChild<QThread*>()->wait());
        } else {
            QTRY_COMPARE(w->resultLabel()->text(), caption);
            QTest::keyClick(w, Qt::Key_S, Qt::AltModifier); // starts nothing new
        }
        QVERIFY(w->searchRunning());
        const SearchProgressBar* bar = w->progressBar();
        QStringList shown;
        for (const auto& [now, share] :
             {std::pair{400ms, 0.05}, {600ms, 0.1}, {1200ms, 0.2}, {1800ms, 0.3}}) {
            shared->now = now;
            shared->control.load()->progress = share;
            runner->tick();
            shown << (bar->isVisible() ? QString::number(bar->value()) + ' ' + bar->text() : "-");
        }
        QCOMPARE(shown.join('|'),
                 barShown ? "-|100 10 %|200 20 %|300 30 % – noch etwa 4 Sek." : "-|-|-|-");
        QCOMPARE(bar->accessibleName(), QStringLiteral("Fortschritt der Berechnung"));
        if (how == QLatin1String("close")) {
            w->close();
            QVERIFY(!w->searchRunning());
            return;
        }
        if (how == QLatin1String("Esc"))
            QTest::keyClick(w->lengthBox(2), Qt::Key_Escape);
        else if (how == QLatin1String("finished"))
            shared->release = true;
        else
            w->startButton()->click(); // at once, before any event: the search's end waits
        QTRY_VERIFY(!w->searchRunning());
        QVERIFY(bar->isHidden());
        QCOMPARE(w->resultTable()->rowCount(), found);
        const QStringList lines = w->resultLabel()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), caption);
        QVERIFY2(lines.value(1).startsWith(ending), qPrintable(lines.value(1)));
        QCOMPARE(w->startButton()->text(), QStringLiteral("&Start Berechnung"));
    }

    // The toolbar button, the menu entry and the shortcut of a command open the same window; load
    // and save cancelled leave the caption without a file name. Opening another window is no
    // leaving of the box typed in: an emptied maximum stays empty.
    void dispatch() {
        QLineEdit* typing = w->maximumBox(4);
        typing->setFocus();
        typing->clear();
        const struct {
            int button;
            QAction* entry;
            const char *keys, *title;
        } commands[] = {{1, w->dateiEntry(1), "", "Gleis-Tabelle laden"},
                        {2, w->dateiEntry(2), "Ctrl+S", "Gleis-Tabelle speichern"},
                        {4, w->dateiEntry(4), "Ctrl+P",
                         "Drucken|Es sind keine Ergebnisse zum Drucken vorhanden."},
                        {6, w->extrasEntry(1), "", "Rechner"},
                        {10, w->hilfeEntry(1), "F1", "Hilfe zum Schotterfix"}};
        for (const auto& c : commands) {
            QStringList seen;
            answerInTurn(&seen, {"cancel"});
            w->toolbarButton(c.button)->trigger();
            answerInTurn(&seen, {"cancel"});
            c.entry->trigger();
            if (*c.keys) {
                QTRY_VERIFY(!QApplication::activeModalWidget());
                w->activateWindow();
                QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));
                answerInTurn(&seen, {"cancel"});
                QTest::keySequence(w, QKeySequence(QString::fromLatin1(c.keys)));
            }
            QCOMPARE(seen, QStringList(*c.keys ? 3 : 2, QString::fromUtf8(c.title)));
            QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix "));
        }
        QCOMPARE(typing->text(), QString());
    }

private:
    void search() {
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_VERIFY(!w->searchRunning());
    }

    Seite1* w = nullptr;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSeite1)
#include "tst_seite1.moc"
