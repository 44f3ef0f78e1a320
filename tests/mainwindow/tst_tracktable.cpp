// The track table in the main window: pasted text follows the boxes' typing rules, nothing typed
// is lost without a question, and a track system is chosen from the menu.
#include "datarow.h"
#include "filefaults.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "seite1.h"
#include "settings.h"
#include "tracksystemmenu.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

// Puts text into the box as a user does on the given path, over the selection or at the cursor
// (a drop goes in where it lands and replaces no selection).
void paste(QLineEdit* box, const QString& text, const QString& path) {
    QApplication::clipboard()->setText(text);
    if (path == QLatin1String("Ctrl+V")) {
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else if (path == QLatin1String("Shift+Insert")) {
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
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
// button ("Esc" presses Esc, "OK" closes it), a file dialog by a path to confirm or "cancel".
// Each is noted in *seen as "title|text", a file dialog as its title.
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

class TestTrackTable : public QObject {
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

    void pasting_data() {
        dataColumns<QString, QString, QString, int, int, QString, QString>(
            {"path", "box", "before", "from", "to", "pasted", "after"});
        struct Case {
            const char *name, *box, *before;
            int from, to; // the selection the paste replaces; from == to: the cursor
            const char *pasted, *after;
        };
        const Case cases[] = {
            {"decimal comma becomes the point", "Text2", "", 0, 0, "1234,5", "1234.5"},
            {"digits at the cursor", "Text3", "12", 1, 1, "3.5", "13.52"},
            {"a second point refused whole", "Text3", "2.0", 3, 3, "1.5", "2.0"},
            {"thousands point refused, not misread", "Text2", "", 0, 0, "1.234,5", ""},
            {"spreadsheet cell in the middle", "Text3", "34", 1, 1, "12\r\n", "3124"},
            {"over a loaded text alike", "Text3", "64,3", 0, 4, "64,35", "64.35"},
            {"count refuses a comma", "Text4", "1", 0, 1, "2,5", "1"},
            {"article takes any text", "Text6", "A", 1, 1, "-1,5 x", "A-1,5 x"},
            {"cells over a selection alike", "Text7", "7 8", 0, 3, "7\n8\n", "7 8"},
        };
        for (const char* path : {"Ctrl+V", "Shift+Insert", "context menu", "drop"})
            for (const Case& c : cases)
                if (c.from == c.to || QLatin1String(path) != QLatin1String("drop"))
                    dataRow(qPrintable(QLatin1String(path) + ": " + QLatin1String(c.name)), path,
                            c.box, QString::fromUtf8(c.before), c.from, c.to,
                            QString::fromUtf8(c.pasted), QString::fromUtf8(c.after));
    }

    // Pasting follows the box's typing rule on every path; what the rule would not take is
    // refused whole, so that a box never shows a number the search reads otherwise ("1234,5"
    // would be read as 1234). Text set by the program (a loaded file) is shown as it is.
    void pasting() {
        QFETCH(QString, path);
        QFETCH(QString, box);
        QFETCH(QString, before);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, pasted);
        QLineEdit* e = nullptr;
        for (QLineEdit* c : w->findChildren<QLineEdit*>(box))
            if (c->property("index").toInt() == 4 || !c->property("index").isValid())
                e = c;
        e->setFocus();
        e->setText(before);
        QCOMPARE(e->text(), before);
        if (from == to)
            e->setCursorPosition(from);
        else
            e->setSelection(from, to - from);
        paste(e, pasted, path);
        QTEST(e->text(), "after");
    }

    void changedTable_data() {
        dataColumns<QString, int, QString, QString, bool>(
            {"was", "row", "length", "price", "changed"});
        dataRow("length set by the focus rule", "", 10, "0,0", "0,00", false);
        dataRow("price as the search rewrites it", "", 1, "64.3", "0.0", false);
        dataRow("price no number, rewritten twice", "1.2.3", 1, "64.3", "1,2,3", false);
        dataRow("another length", "", 1, "64.4", "0,00", true);
        dataRow("another price", "", 10, "0.0", "0,01", true);
        dataRow("a price emptied", "", 10, "0.0", "", true);
    }

    // Texts that mean the same to the program (the search and the focus rule rewrite them) are
    // no change.
    void changedTable() {
        QFETCH(QString, was);
        QFETCH(int, row);
        QFETCH(QString, length);
        QFETCH(QString, price);
        if (!was.isEmpty()) {
            w->priceBox(row)->setText(was);
            w->markTableUnchanged();
        }
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
        const QString current = m_dir.filePath(QStringLiteral("aktuell.sfr"));
        const QString fresh = m_dir.filePath(QStringLiteral("neu.sfr"));
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
        if (path == QLatin1String("close box"))
            w->close();
        else if (path == QLatin1String("Beenden"))
            w->dateiEntry(6)->trigger();
        else if (path == QLatin1String("toolbar Ende"))
            w->toolbarButton(8)->trigger();
        else if (path == QLatin1String("laden"))
            w->dateiEntry(1)->trigger();
        else
            w->trackSystemMenu()->entry(QStringLiteral("N"), QStringLiteral("Minitrix"))->trigger();
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

    void noQuestion_data() {
        QTest::addColumn<QString>("how");
        dataRow("typed back to what it was", "typed back");
        dataRow("a length box left, the focus rule writing 0,0", "focus rule");
        dataRow("a search that rewrites the prices", "search");
        dataRow("saved", "saved");
    }

    // What leaves the table's meaning as it was, or has just been saved, asks nothing.
    void noQuestion() {
        QFETCH(QString, how);
        if (how == QLatin1String("typed back")) {
            w->articleBox(2)->setFocus();
            QTest::keyClick(w->articleBox(2), Qt::Key_9);
            QTest::keyClick(w->articleBox(2), Qt::Key_Backspace);
        } else if (how == QLatin1String("focus rule")) {
            w->lengthBox(10)->setFocus(Qt::TabFocusReason);
            w->minimumBox(10)->setFocus(Qt::TabFocusReason);
            QCOMPARE(w->lengthBox(10)->text(), QStringLiteral("0,0"));
        } else if (how == QLatin1String("saved")) {
            w->articleBox(2)->setText(QStringLiteral("neu"));
            QVERIFY(w->saveAs(m_dir.filePath(QStringLiteral("gespeichert.sfr"))));
        } else {
            w->priceBox(1)->setText(QStringLiteral("2.5"));
            w->markTableUnchanged();
            QTest::mouseClick(w->startButton(), Qt::LeftButton);
            QTRY_VERIFY(!w->searchRunning());
            QCOMPARE(w->priceBox(1)->text(), QStringLiteral("2,50"));
        }
        QVERIFY(!w->tableChanged()); // before closing, which would wait for an answer
        w->close();
        QVERIFY(!w->isVisible());
    }

    // A system fills the table as its file does, rows beyond its pieces emptied (also when a
    // user's own copy of the file holds fewer rows); check marks and counts stay. The table then
    // has no file, and saving asks for a name.
    void systemFillsTable() {
        QStringList gauges;
        for (QAction* a : w->trackSystemMenu()->actions())
            gauges << a->text();
        QCOMPARE(gauges, TrackSystems::gaugeOrder());
        const QString own = TrackSystems::searchFolders().constFirst();
        QVERIFY(QDir().mkpath(own));
        QVERIFY(TestHelp::put(own + "/z-maerklin-mini-club.sfr", "110.0\r\n8500\r\n0,00\r\n"));
        w->setCurrentTrackFile(m_dir.filePath(QStringLiteral("alt.sfr")));
        w->minimumBox(1)->setText(QStringLiteral("3"));
        w->check(2)->setChecked(false);
        w->priceBox(10)->setText(QStringLiteral("9,99"));
        w->articleBox(10)->setText(QStringLiteral("X"));
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
        QCOMPARE(w->currentTrackFile(), QString());
        QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix "));
        answerInTurn(&seen, {"cancel"});
        w->dateiEntry(2)->trigger();
        QCOMPARE(seen.last(), QStringLiteral("Gleis-Tabelle speichern"));
    }

private:
    Seite1* w = nullptr;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestTrackTable)
#include "tst_tracktable.moc"
