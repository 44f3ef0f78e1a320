// The program among others on the desktop: a track file named on the command line, the result
// grid copied to the clipboard and exported as a CSV file.
#include "kernmain.h"
#include "modalhelper.h"
#include "resultcommands.h"
#include "seite1.h"
#include "settings.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Root passes every permission check; for the span of a test it checks files as nobody does.
struct AsOrdinaryUser {
    const bool root = geteuid() == 0;
    AsOrdinaryUser() {
        if (root) {
            setfsgid(65534);
            setfsuid(65534);
        }
    }
    ~AsOrdinaryUser() {
        if (root) {
            setfsuid(0);
            setfsgid(0);
        }
    }
};

const QString Caption = QStringLiteral("Kuppli's Schotterfix ");

// The clipboard lines of the start-up search, in the order of discovery.
const QString GroupLine = QStringLiteral("\tStrecke (mm)\t\tGleistypen (mm)\t\t\t\t\t\t\t\t\t\n");
const QString HeadingLine =
    QStringLiteral("lfd. Nr.\tLänge\t-/+\t24064\t24071\t24077\t24094\t"
                   "24172\t24188\t24229\t24236\tAnzahl Gleise\tGesamtpreis\n");

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void commandLine_data();
    void commandLine();
    void startWithFile_data();
    void startWithFile();
    void copyRows_data();
    void copyRows();
    void exportEntryAndFile();
    void failedExportChangesNothing();

private:
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }
    void startAndSearch() {
        w = Kern::Main();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        // Totals above a thousand show the thousands point.
        w->priceBox(2)->setText(QStringLiteral("500,5"));
        w->priceBox(3)->setText(QStringLiteral("0,25"));
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_COMPARE(w->grid()->model()->rowCount(), 4); // the search may run in the background
    }
    Seite1* w = nullptr;
    QTemporaryDir dir;
};

void TestDesktop::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestDesktop::init() {
    QFile::remove(Kern::SettingsFilePath());
}

void TestDesktop::cleanup() {
    delete w;
    w = nullptr;
}

void TestDesktop::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("run");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    QTest::addColumn<QString>("trackFile");
    QTest::newRow("version") << QStringList{"--version"} << false << 0 << "Schotterfix 2.0.5\n"
                             << ""
                             << "";
    QTest::newRow("help") << QStringList{"-h"} << false << 0
                          << "Aufruf: schotterfix [Optionen] [Datei]\n"
                          << ""
                          << "";
    QTest::newRow("unknown option") << QStringList{"--gleis", "a.sfr"} << false << 1 << ""
                                    << "schotterfix: Unbekannte Option: --gleis\n"
                                    << "";
    QTest::newRow("relative path") << QStringList{"Gleise/h0.sfr"} << true << 0 << ""
                                   << "" << QDir::current().absoluteFilePath("Gleise/h0.sfr");
    QTest::newRow("file URL") << QStringList{"file:///tmp/M%C3%A4rklin%20H0.sfr"} << true << 0 << ""
                              << ""
                              << "/tmp/Märklin H0.sfr";
    QTest::newRow("second file unused")
        << QStringList{"/tmp/a.sfr", "/tmp/b.sfr"} << true << 0 << ""
        << "schotterfix: Es wird nur eine Datei geladen; nicht beachtet: /tmp/b.sfr\n"
        << "/tmp/a.sfr";
    QTest::newRow("file named like an option") << QStringList{"--", "-v.sfr"} << true << 0 << ""
                                               << "" << QDir::current().absoluteFilePath("-v.sfr");
}

void TestDesktop::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, run);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QFETCH(QString, trackFile);
    const Kern::CommandLine line =
        Kern::ReadCommandLine(QStringList{"/usr/bin/schotterfix"} + arguments);
    QCOMPARE(line.run, run);
    QCOMPARE(line.exitCode, exitCode);
    auto begins = [](const QString& text, const QString& start) {
        return start.isEmpty() ? text.isEmpty() : text.startsWith(start);
    };
    QVERIFY2(begins(line.output, output), qPrintable(line.output));
    QVERIFY2(begins(line.errors, errors), qPrintable(line.errors));
    QCOMPARE(line.trackFile, trackFile);
    // Only help and version are answered without a display.
    QByteArrayList raw{"schotterfix"};
    for (const QString& a : arguments)
        raw << a.toUtf8();
    std::vector<const char*> argv;
    for (const QByteArray& a : raw)
        argv.push_back(a.constData());
    QCOMPARE(Kern::AsksOnlyForText(int(argv.size()), argv.data()), !run && exitCode == 0);
}

void TestDesktop::startWithFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("loads");
    QTest::newRow("readable") << "file" << true;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("pipe") << "pipe" << false;
    QTest::newRow("read error") << "/proc/self/mem" << false;
}

void TestDesktop::startWithFile() {
    QFETCH(QString, kind);
    QFETCH(bool, loads);
    const QString remembered =
        writeFile(QStringLiteral("alt.sfr"), "11.1\r\nALT\r\n1,00\r\n12.2\r\nALT2\r\n1,00\r\n");
    QDir().mkpath(QFileInfo(Kern::SettingsFilePath()).absolutePath());
    QFile settings(Kern::SettingsFilePath());
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(" 1 \r\n" + remembered.toUtf8() + "\r\n");
    settings.close();

    QString path = dir.filePath(QStringLiteral("Gleise ä.sfr"));
    QFile::remove(path);
    QDir(path).removeRecursively();
    if (kind == QLatin1String("file"))
        writeFile(QStringLiteral("Gleise ä.sfr"), "22.2\r\nNEU\r\n2,00\r\n");
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind.startsWith(QLatin1Char('/')))
        path = kind;

    // The answer outlives this test when no message comes: it keeps what it saw on the heap and
    // gives up before the next test can show one.
    auto seen = std::make_shared<QStringList>(QStringList{QString(), QString()});
    TestHelp::answerModalOf<QMessageBox>(
        [seen](QMessageBox* box) {
            *seen = {box->windowTitle(), box->text()};
            box->accept();
        },
        loads ? 200 : 5000);
    w = Kern::Main(path);
    if (loads)
        QTest::qWait(300);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    const QString title = seen->at(0), text = seen->at(1);
    const QString shown = loads ? path : remembered;
    QCOMPARE(w->articleBox(1)->text(), QString::fromLatin1(loads ? "NEU" : "ALT"));
    // Only one of the two files is read: the named one has one row, the remembered one two.
    QCOMPARE(w->articleBox(2)->text(), QString::fromLatin1(loads ? "24071" : "ALT2"));
    QCOMPARE(w->windowTitle(), Caption + shown);
    QCOMPARE(title, QString::fromLatin1(loads ? "" : "Fehler beim Laden"));
    if (!loads)
        QVERIFY2(
            text.startsWith(QStringLiteral("Die Gleis-Tabelle konnte nicht geladen werden:\n") +
                            path + QLatin1Char('\n')),
            qPrintable(text));
    w->close();
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), " 1 \r\n" + shown.toUtf8() + "\r\n");
}

void TestDesktop::copyRows_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("nothing selected: all rows") << QList<int>{} << "keys" << QList<int>{0, 1, 2, 3};
    QTest::newRow("one row") << QList<int>{2} << "keys" << QList<int>{2};
    QTest::newRow("two rows, in the order shown") << QList<int>{3, 0} << "keys" << QList<int>{0, 3};
    QTest::newRow("Shift+Down adds the next row")
        << QList<int>{1} << "shift down" << QList<int>{1, 2};
    QTest::newRow("context menu entry") << QList<int>{1} << "menu" << QList<int>{1};
}

void TestDesktop::copyRows() {
    QFETCH(QList<int>, selected);
    QFETCH(QString, how);
    QFETCH(QList<int>, expected);
    const QString rows[] = {"1\t1000,0\t0,0\t\t2\t5\t3\t\t1\t\t\t11\t1.002,25\n",
                            "2\t1000,0\t0,0\t\t2\t4\t2\t1\t1\t\t\t10\t1.002,00\n",
                            "3\t1000,0\t0,0\t\t2\t3\t1\t2\t1\t\t\t9\t1.001,75\n",
                            "4\t1000,0\t0,0\t\t2\t2\t\t3\t1\t\t\t8\t1.001,50\n"};
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
        QAction* copy = grid->actions().value(0);
        QCOMPARE(copy->text(), QStringLiteral("Kopieren"));
        copy->trigger();
    } else {
        if (how == QLatin1String("shift down"))
            QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keySequence(grid, QKeySequence::Copy);
    }
    QString want = GroupLine + HeadingLine;
    for (const int r : expected)
        want += rows[r];
    QCOMPARE(QApplication::clipboard()->text(), want);
}

void TestDesktop::exportEntryAndFile() {
    w = Kern::Main();
    // The design's entries keep their indices; the new one sits after "&Drucken".
    QStringList entries;
    QAction* entry = w->dateiEntry(7);
    QVERIFY(entry);
    for (const QObject* o : entry->associatedObjects())
        if (const auto* menu = qobject_cast<const QMenu*>(o))
            for (const QAction* a : menu->actions())
                entries << QStringLiteral("%1 %2").arg(a->property("index").toInt()).arg(a->text());
    QCOMPARE(entries,
             (QStringList{"1 Gleiswahl &laden", "2 Gleiswahl &speichern", "3 ", "4 &Drucken",
                          "7 Ergebnis &exportieren...", "5 ", "6 &Beenden"}));
    QVERIFY(!entry->isEnabled()); // nothing to export before a search
    delete w;

    startAndSearch();
    QVERIFY(entry = w->dateiEntry(7));
    QVERIFY(entry->isEnabled());
    w->Grid_Click(11); // ascending by "Anzahl Gleise": the order of discovery reversed
    // One selected row does not narrow the export: the file holds the whole result.
    w->grid()->selectionModel()->select(w->grid()->model()->index(1, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString path = dir.filePath(QStringLiteral("Ergebnis ä"));
    TestHelp::answerModalOf<QFileDialog>([&](QFileDialog* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Ergebnis exportieren"));
        QCOMPARE(d->nameFilters(), QStringList{QStringLiteral("CSV-Datei (*.csv)")});
        QVERIFY(d->testOption(QFileDialog::DontUseNativeDialog));
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        static_cast<QDialog*>(d)->accept();
    });
    entry->trigger();
    QFile file(path + QStringLiteral(".csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("\xEF\xBB\xBF;Strecke (mm);;Gleistypen (mm);;;;;;;;;\r\n"
                        "lfd. Nr.;L\xC3\xA4nge;-/+;24064;24071;24077;24094;24172;24188;24229;24236;"
                        "Anzahl Gleise;Gesamtpreis\r\n"
                        "4;1000,0;0,0;;2;2;;3;1;;;8;1.001,50\r\n"
                        "3;1000,0;0,0;;2;3;1;2;1;;;9;1.001,75\r\n"
                        "2;1000,0;0,0;;2;4;2;1;1;;;10;1.002,00\r\n"
                        "1;1000,0;0,0;;2;5;3;;1;;;11;1.002,25\r\n"));
}

void TestDesktop::failedExportChangesNothing() {
    startAndSearch();
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther));
    const QString folder = dir.filePath(QStringLiteral("schreibgeschützt"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/Ergebnis.csv");
    writeFile(QStringLiteral("schreibgeschützt/Ergebnis.csv"), "alt");
    const QFile::Permissions readOnly =
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(folder, readOnly));
    const QString caption = w->windowTitle();

    QString title, text;
    TestHelp::answerModalOf<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    bool written = true;
    {
        AsOrdinaryUser user;
        written = w->resultCommands()->exportTo(path);
    }
    QVERIFY(QFile::setPermissions(folder, readOnly | QFile::WriteOwner));
    QVERIFY(!written);
    QCOMPARE(title, QStringLiteral("Fehler beim Speichern"));
    const QString head =
        QStringLiteral("Das Ergebnis konnte nicht exportiert werden:\n") + path + QLatin1Char('\n');
    QVERIFY2(text.startsWith(head) && text.size() > head.size(), qPrintable(text));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("alt"));
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Ergebnis.csv")});
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->grid()->model()->rowCount(), 4);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
