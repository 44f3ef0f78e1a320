// The track table in the main window: nothing typed is lost without a question, and a track
// system is chosen from the menu.
#include "datarow.h"
#include "filefaults.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "seite1.h"
#include "settings.h"
#include "trackfile.h"
#include "tracksystemmenu.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString Question =
    QStringLiteral("Die Gleis-Tabelle wurde geändert.\nSollen die Änderungen gespeichert werden?");

// Answers the modal windows that open one after the other, in order: "&Ja", "&Nein" or
// "Abbrechen" click that button of a message box, "Esc" presses Esc, "OK" closes a message box;
// for a file dialog a path is typed and confirmed, "cancel" cancels it. Each window is noted in
// *seen as "title|text" (message box) or its title (file dialog).
void answerInTurn(QStringList* seen, QStringList answers) {
    if (answers.isEmpty())
        return;
    const QString answer = answers.takeFirst();
    TestHelp::answerModal([=](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            *seen << box->windowTitle() + QLatin1Char('|') + box->text();
            answerInTurn(seen, answers);
            if (answer == QLatin1String("Esc"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (answer == QLatin1String("OK"))
                box->close();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == answer)
                    b->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            *seen << dialog->windowTitle();
            answerInTurn(seen, answers);
            if (answer == QLatin1String("cancel")) {
                dialog->reject();
            } else {
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(answer);
                static_cast<QDialog*>(dialog)->accept();
            }
        } else {
            *seen << QStringLiteral("unexpected ") + modal->windowTitle();
            modal->close();
        }
    });
}

QAction* systemEntry(Seite1* w, const QString& gauge, const QString& name) {
    auto* menu = w->findChild<TrackSystemMenu*>();
    return menu ? menu->entry(gauge, name) : nullptr;
}

} // namespace

class TestTableQuestion : public QObject {
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

    void question_data() {
        dataColumns<QString, QString, QStringList, bool, bool>(
            {"path", "file", "answers", "goesOn", "saved"});
        const QStringList paths{"close box", "Beenden", "toolbar Ende", "laden", "Gleissystem"};
        for (const QString& path : paths) {
            auto row = [&](const char* name, const char* file, QStringList answers, bool goesOn,
                           bool saved) {
                // Where the path goes on, loading shows its dialog, which is cancelled.
                if (goesOn && path == QLatin1String("laden"))
                    answers << QStringLiteral("cancel");
                dataRow(qPrintable(path + QStringLiteral(": ") + QLatin1String(name)), path,
                        QString::fromLatin1(file), answers, goesOn, saved);
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
        if (file == QLatin1String("current"))
            w->setCurrentTrackFile(current);
        else if (file == QLatin1String("unwritable"))
            w->setCurrentTrackFile(current + QStringLiteral("/kein Ordner.sfr"));
        answers.replaceInStrings(QRegularExpression(QStringLiteral("^new$")), fresh);
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
            systemEntry(w, QStringLiteral("N"), QStringLiteral("Minitrix"))->trigger();
        QTRY_VERIFY(!QApplication::activeModalWidget());

        QCOMPARE(seen.value(0), title + QLatin1Char('|') + Question);
        QCOMPARE(seen.size(), answers.size());
        const bool closing = path != QLatin1String("laden") && path != QLatin1String("Gleissystem");
        if (closing)
            QCOMPARE(w->isVisible(), !goesOn);
        if (path == QLatin1String("Gleissystem"))
            QCOMPARE(w->articleBox(3)->text() == typed, !goesOn);
        if (path == QLatin1String("laden"))
            QCOMPARE(seen.last() == QLatin1String("Gleis-Tabelle laden"), goesOn);
        const QString savedTo = file == QLatin1String("none") ? fresh : current;
        TrackFile::Table written;
        int rows = 0;
        TrackFile::read(savedTo, &written, &rows, nullptr);
        QCOMPARE(written[2].article == typed, saved);
        double preset = 0;
        if (saved && closing) // the settings remember the file saved to
            QCOMPARE(Kern::ReadSettings(&preset), savedTo);
    }

    void noQuestion_data() {
        QTest::addColumn<QString>("how");
        dataRow("nothing typed", "");
        dataRow("typed back to what it was", "typed back");
        dataRow("a length box left, the focus rule writing 0,0", "focus rule");
        dataRow("a search that rewrites the prices", "search");
        dataRow("saved", "saved");
        dataRow("a track system chosen", "system");
    }

    // What leaves the table's meaning as it was, or has just been kept, asks nothing.
    void noQuestion() {
        QFETCH(QString, how);
        QLineEdit* article = w->articleBox(2);
        if (how == QLatin1String("typed back")) {
            article->setFocus();
            article->end(false);
            QTest::keyClicks(article, QStringLiteral("9"));
            QTest::keyClick(article, Qt::Key_Backspace);
        } else if (how == QLatin1String("focus rule")) {
            w->lengthBox(10)->setFocus(Qt::TabFocusReason);
            w->minimumBox(10)->setFocus(Qt::TabFocusReason);
            QCOMPARE(w->lengthBox(10)->text(), QStringLiteral("0,0"));
        } else if (how == QLatin1String("search")) {
            w->priceBox(1)->setText(QStringLiteral("2.5"));
            w->markTableUnchanged();
            QTest::mouseClick(w->startButton(), Qt::LeftButton);
            QTRY_VERIFY(!w->searchRunning());
            QCOMPARE(w->priceBox(1)->text(), QStringLiteral("2,50"));
        } else if (how == QLatin1String("saved")) {
            article->setText(QStringLiteral("neu"));
            QVERIFY(w->saveAs(m_dir.filePath(QStringLiteral("gespeichert.sfr"))));
        } else if (how == QLatin1String("system")) {
            article->setText(QStringLiteral("neu"));
            QStringList seen;
            answerInTurn(&seen, {"&Nein"});
            systemEntry(w, QStringLiteral("H0"), QStringLiteral("Piko A-Gleis"))->trigger();
            QCOMPARE(seen.size(), 1);
        }
        QVERIFY(!w->tableChanged());
        w->close();
        QVERIFY(!w->isVisible());
    }

    // A system fills the table as a track file does, rows beyond its pieces empty; check marks
    // and counts stay. The table then has no file, so saving asks for a name.
    void systemFillsTable() {
        w->setCurrentTrackFile(m_dir.filePath(QStringLiteral("alt.sfr")));
        w->minimumBox(1)->setText(QStringLiteral("3"));
        w->check(2)->setChecked(false);
        w->priceBox(10)->setText(QStringLiteral("9,99"));
        w->articleBox(10)->setText(QStringLiteral("X"));
        w->markTableUnchanged();
        const TrackSystems::System system{QStringLiteral("Z"), QStringLiteral("Märklin mini-club"),
                                          QStringLiteral("z-maerklin-mini-club.sfr")};
        TrackFile::Table expected;
        int pieces = 0;
        QVERIFY(TrackFile::read(TrackSystems::pathOf(system), &expected, &pieces, nullptr));
        while (pieces > 0 && expected[std::size_t(pieces - 1)].article.isEmpty())
            --pieces;
        QVERIFY(pieces >= 3 && pieces < 10);
        systemEntry(w, system.gauge, system.name)->trigger();
        for (int r = 1; r <= 10; ++r) {
            const TrackFile::Row& row = expected[std::size_t(r - 1)];
            const QString shown = w->lengthBox(r)->text() + "|" + w->articleBox(r)->text() + "|" +
                                  w->priceBox(r)->text();
            QCOMPARE(shown, r <= pieces ? row.length + "|" + row.article + "|0,00"
                                        : QStringLiteral("0.0||0,00"));
        }
        QCOMPARE(w->minimumBox(1)->text(), QStringLiteral("3"));
        QVERIFY(!w->check(2)->isChecked());
        QCOMPARE(w->currentTrackFile(), QString());
    }

private:
    Seite1* w = nullptr;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestTableQuestion)
#include "tst_tablequestion.moc"
