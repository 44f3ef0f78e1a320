// The program among others on the desktop: a track file named on the command line, the result
// grid copied to the clipboard and exported as a CSV file.
#include "commandline.h"
#include "datarow.h"
#include "filefaults.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "resultcommands.h"
#include "seite1.h"
#include "settings.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

namespace {
const QString Caption = QStringLiteral("Kuppli's Schotterfix ");

using TestHelp::contentOf;
using TestHelp::put;

// The first cell of each line, each followed by a blank: which rows were written, and in which
// order (the cells' own forms are the exporter's business).
QString firstCells(const QString& text, QChar separator) {
    QString out;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        out += line.section(separator, 0, 0) + ' ';
    return out;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(Kern::settingsFilePath()); }
    void cleanup() {
        delete w;
        w = nullptr;
    }

    void commandLine_data() {
        // exitCode -1: the program runs
        dataColumns<QStringList, int, QString, QString, QString>(
            {"arguments", "exitCode", "output", "errors", "trackFile"});
        const QString here = QDir::currentPath() + QLatin1Char('/');
        const QString help = QStringLiteral("\nHilfe: schotterfix --help\n");
        dataRow("version", QStringList{"--version"}, 0, "Schotterfix 2.0.5\n", "", "");
        dataRow("help", QStringList{"-h"}, 0, "Aufruf: schotterfix [Optionen] [Datei]\n", "", "");
        dataRow("unknown option", QStringList{"--gleis", "a.sfr"}, 1, "",
                "schotterfix: Unbekannte Option: --gleis" + help, "");
        dataRow("value for an option", QStringList{"--version=3"}, 1, "",
                "schotterfix: Die Option --version nimmt keinen Wert an." + help, "");
        dataRow("two files", QStringList{"/tmp/a.sfr", "b.sfr"}, 1, "",
                "schotterfix: Es kann nur eine Datei geladen werden; angegeben: /tmp/a.sfr b.sfr" +
                    help,
                "");
        dataRow("relative path", QStringList{"Gleise/h0.sfr"}, -1, "", "", here + "Gleise/h0.sfr");
        dataRow("file URL", QStringList{"file:///tmp/Gleisb%C3%B6gen%20H0.sfr"}, -1, "", "",
                "/tmp/Gleisbögen H0.sfr");
        dataRow("file named like an option", QStringList{"--", "-v"}, -1, "", "", here + "-v");
        // The toolkit takes its own options and their values out later, in either spelling.
        dataRow("toolkit options", QStringList{"-style", "Fusion", "--reverse", "/tmp/a.sfr"}, -1,
                "", "", "/tmp/a.sfr");
        dataRow("toolkit value joined", QStringList{"--style=Fusion", "-qwindowtitle", "x", "-v"},
                0, "Schotterfix 2.0.5\n", "", "");
        dataRow("toolkit option lacking its value", QStringList{"/tmp/a.sfr", "-platform"}, -1, "",
                "", "/tmp/a.sfr");
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        QFETCH(QString, trackFile);
        // As main gets them, from the system's bytes.
        QByteArrayList raw{"/usr/bin/schotterfix"};
        for (const QString& a : arguments)
            raw << a.toUtf8();
        std::vector<const char*> argv;
        for (const QByteArray& a : raw)
            argv.push_back(a.constData());
        const Kern::CommandLine line = Kern::readCommandLine(int(argv.size()), argv.data());
        QCOMPARE(line.run ? -1 : line.exitCode, exitCode);
        QVERIFY2(output.isEmpty() ? line.output.isEmpty() : line.output.startsWith(output),
                 qPrintable(line.output));
        QCOMPARE(line.errors, errors);
        QCOMPARE(line.trackFile, trackFile);
    }

    // A file named at start takes the remembered one's place; one that cannot be read is
    // reported over the window, and the remembered one is loaded as before.
    void startWithFile_data() {
        QTest::addColumn<QString>("kind");
        dataRow("readable", "file");
        dataRow("missing", "missing");
        dataRow("pipe", "pipe");
    }
    void startWithFile() {
        QFETCH(QString, kind);
        const bool loads = kind == QLatin1String("file");
        const QString remembered = m_dir.filePath(QStringLiteral("alt.sfr"));
        QVERIFY(put(remembered, "11.1\r\nALT\r\n1,00\r\n12.2\r\nALT2\r\n1,00\r\n"));
        QDir().mkpath(QFileInfo(Kern::settingsFilePath()).absolutePath());
        QVERIFY(put(Kern::settingsFilePath(), " 1 \r\n" + remembered.toUtf8() + "\r\n"));
        const QString path = m_dir.filePath(QStringLiteral("Gleise ä ") + kind);
        QVERIFY(!loads || put(path, "22.2\r\nNEU\r\n2,00\r\n"));
        QVERIFY(kind != QLatin1String("pipe") ||
                ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        QString seen;
        const QPointer<QTimer> poll = TestHelp::noteMessage(&seen);
        w = Kern::Main(path);
        delete poll.data(); // a message comes while the window starts, or never
        const QString shown = loads ? path : remembered;
        // Only one of the two files is read: the named one has one row, the remembered one two.
        QCOMPARE(w->articleBox(1)->text() + w->articleBox(2)->text(),
                 QString::fromLatin1(loads ? "NEU24071" : "ALTALT2"));
        QCOMPARE(w->windowTitle(), Caption + shown);
        const QString message = QStringLiteral("Fehler beim Laden|Die Gleis-Tabelle konnte nicht "
                                               "geladen werden:\n") +
                                path + QLatin1Char('\n');
        QVERIFY2(loads ? seen.isEmpty() : seen.startsWith(message), qPrintable(seen));
        w->close();
        QCOMPARE(contentOf(Kern::settingsFilePath()), " 1 \r\n" + shown.toUtf8() + "\r\n");
    }

    // Ctrl+C or the context menu: the chosen rows, or all, with the group and heading lines.
    void copyRows_data() {
        dataColumns<QList<int>, QString, QString>({"selected", "how", "copied"});
        dataRow("nothing selected: all rows", QList<int>{}, "keys", "1 2 3 4");
        dataRow("two rows, in the order shown", QList<int>{3, 0}, "keys", "1 4");
        dataRow("context menu entry", QList<int>{1}, "menu", "2");
    }
    void copyRows() {
        QFETCH(QList<int>, selected);
        QFETCH(QString, how);
        QFETCH(QString, copied);
        startAndSearch();
        QTableView* grid = w->grid();
        grid->setFocus();
        for (const int r : selected)
            grid->selectionModel()->select(grid->model()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (!selected.isEmpty())
            grid->selectionModel()->setCurrentIndex(grid->model()->index(selected.last(), 0),
                                                    QItemSelectionModel::NoUpdate);
        QApplication::clipboard()->clear();
        if (how == QLatin1String("menu")) {
            QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
            grid->actions().value(0)->trigger();
        } else {
            QTest::keySequence(grid, QKeySequence::Copy);
        }
        QCOMPARE(firstCells(QApplication::clipboard()->text(), '\t'), " lfd. Nr. " + copied + " ");
    }

    // The export writes the whole table in the order shown, whatever is selected; a failed one
    // says why and leaves the old file.
    void exportResult() {
        w = Kern::Main();
        QVERIFY(!w->dateiEntry(7)->isEnabled()); // nothing to export before a search
        delete w;
        startAndSearch();
        QAction* entry = w->dateiEntry(7);
        QVERIFY(entry->isEnabled());
        w->Grid_Click(11); // ascending by "Anzahl Gleise": the order of discovery reversed
        w->grid()->selectionModel()->select(w->grid()->model()->index(1, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Ergebnis ä"));
        TestHelp::answerModalOf<QFileDialog>([&](QFileDialog* d) {
            d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog*>(d)->accept();
        });
        entry->trigger();
        const QByteArray csv = contentOf(path + QStringLiteral(".csv"));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF;Strecke (mm);"));
        QCOMPARE(firstCells(QString::fromUtf8(csv.mid(3)), ';'), " lfd. Nr. 4 3 2 1 ");

        QString offered;
        TestHelp::answerModalOf<QFileDialog>([&](QFileDialog* d) {
            offered = d->selectedFiles().value(0);
            d->reject();
        });
        entry->trigger();
        QCOMPARE(offered, path + ".csv"); // the last export offered again
        QString seen;
        TestHelp::noteMessage(&seen);
        {
            TestHelp::FileSizeLimit full(10);
            QVERIFY(!w->resultCommands()->exportTo(path + QStringLiteral(".csv")));
        }
        const QString head = QStringLiteral("Fehler beim Speichern|Das Ergebnis konnte nicht "
                                            "exportiert werden:\n") +
                             path + ".csv\n";
        QVERIFY2(seen.startsWith(head) && seen.size() > head.size(), qPrintable(seen));
        QCOMPARE(contentOf(path + QStringLiteral(".csv")), csv);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

private:
    void startAndSearch() {
        w = Kern::Main();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_COMPARE(w->grid()->model()->rowCount(), 4); // the search runs in the background
    }
    Seite1* w = nullptr;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
