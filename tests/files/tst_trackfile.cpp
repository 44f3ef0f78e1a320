// Track-table files through the main window: what a save writes, what a load fills in, and
// what happens with files the program did not write.
#include "kernmain.h"
#include "modalhelper.h"
#include "seite1.h"
#include "settings.h"
#include "trackfile.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// Types the path into the dialog's name box and confirms, as a user would.
static void chooseFile(QFileDialog* dialog, const QString& path) {
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept();
    QVERIFY(!dialog->isVisible());
}

class TestTrackFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();
    void saveWritesThirtyLines();
    void roundTripThroughDialogs();
    void loadVariants_data();
    void loadVariants();
    void junkNeverBreaksTheTable();
    void failedSaveKeepsOldFileAndName();
    void failedLoadIsReported();

private:
    QByteArray fileText(const QString& name) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return f.fileName();
    }
    Seite1* w = nullptr;
    QTemporaryDir dir;
};

void TestTrackFile::init() {
    QFile::remove(Kern::SettingsFilePath());
    w = Kern::Main();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}

void TestTrackFile::cleanup() {
    delete w;
}

void TestTrackFile::saveWritesThirtyLines() {
    w->priceBox(1)->setText(QStringLiteral("3,5"));
    w->priceBox(2)->setText(QStringLiteral("teuer"));
    w->priceBox(3)->setText(QString());
    QVERIFY(w->saveTrackFile(dir.filePath(QStringLiteral("a.sfr"))));
    const QByteArray text = fileText(QStringLiteral("a.sfr"));
    QVERIFY(text.endsWith("\r\n"));
    const QList<QByteArray> lines = text.chopped(2).split('\n');
    QCOMPARE(lines.size(), 30);
    for (const QByteArray& l : lines)
        QVERIFY(l.endsWith('\r') || l == lines.last());
    QCOMPARE(text.left(19), QByteArray("64.3\r\n24064\r\n3,50\r\n"));
    QCOMPARE(lines[5], QByteArray("teuer\r"));
    QCOMPARE(lines[8], QByteArray("\r"));
    QCOMPARE(lines[27], QByteArray("0.0\r"));
}

void TestTrackFile::roundTripThroughDialogs() {
    const QString path = dir.filePath(QStringLiteral("Märklin Gleise.sfr"));
    w->priceBox(4)->setText(QStringLiteral("3,5"));
    w->articleBox(9)->setText(QStringLiteral("Bogen ä"));
    TestHelp::answerModal([&](QWidget* modal) {
        auto* d = qobject_cast<QFileDialog*>(modal);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Gleis-Tabelle speichern"));
        QCOMPARE(d->defaultSuffix(), QStringLiteral("sfr"));
        QCOMPARE(d->nameFilters(), QStringList{QStringLiteral("Schotterfix (*.sfr)")});
        chooseFile(d, path);
    });
    w->dateiEntry(2)->trigger();
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix ") + path);
    QVERIFY(QFile::exists(path));

    for (int r = 1; r <= 10; ++r) {
        w->lengthBox(r)->setText(QStringLiteral("1"));
        w->articleBox(r)->clear();
        w->priceBox(r)->clear();
    }
    w->setCurrentTrackFile(QString());
    TestHelp::answerModal([&](QWidget* modal) {
        auto* d = qobject_cast<QFileDialog*>(modal);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QStringLiteral("Gleis-Tabelle laden"));
        chooseFile(d, path);
    });
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix ") + path);
    QCOMPARE(w->currentTrackFile(), path);
    QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("64.3"));
    QCOMPARE(w->priceBox(4)->text(), QStringLiteral("3,50"));
    QCOMPARE(w->articleBox(9)->text(), QStringLiteral("Bogen ä"));
    QCOMPARE(w->lengthBox(10)->text(), QStringLiteral("0.0"));

    // A cancelled load keeps everything and shows the current name.
    TestHelp::answerModal([](QWidget* modal) { modal->close(); });
    w->toolbarButton(1)->trigger();
    QCOMPARE(w->currentTrackFile(), path);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix ") + path);
}

void TestTrackFile::loadVariants_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("row1"); // length, article, price of row 1
    QTest::addColumn<QStringList>("row3");
    QTest::addColumn<QString>("row10Length");
    const QStringList untouched1{"64.3", "24064", "0,00"};
    const QStringList untouched3{"77.5", "24077", "0,00"};
    QTest::newRow("empty file") << QByteArray() << untouched1 << untouched3 << "0.0";
    QTest::newRow("two rows") << QByteArray("10\r\nA\r\n1,00\r\n20\r\nB\r\n2,00\r\n")
                              << QStringList{"10", "A", "1,00"} << untouched3 << "0.0";
    QTest::newRow("incomplete third row")
        << QByteArray("10\r\nA\r\n1,00\r\n20\r\nB\r\n2,00\r\n30\r\n")
        << QStringList{"10", "A", "1,00"} << untouched3 << "0.0";
    QByteArray many;
    for (int i = 1; i <= 12; ++i)
        many += QByteArray::number(i) + "\r\nX" + QByteArray::number(i) + "\r\n0,5\r\n";
    QTest::newRow("more than thirty lines")
        << many << QStringList{"1", "X1", "0,5"} << QStringList{"3", "X3", "0,5"} << "10";
    QTest::newRow("LF only") << QByteArray("11\nL\n1\n22\nM\n2\n33\nN\n3")
                             << QStringList{"11", "L", "1"} << QStringList{"33", "N", "3"} << "0.0";
    QTest::newRow("CR only") << QByteArray("11\rL\r1\r22\rM\r2\r33\rN\r3\r")
                             << QStringList{"11", "L", "1"} << QStringList{"33", "N", "3"} << "0.0";
    QTest::newRow("Windows-1252 umlaut")
        << QByteArray("5\r\nGleis \xe4\xdf\x80\r\n1,00\r\n")
        << QStringList{"5", QString::fromUtf8("Gleis äß€"), "1,00"} << untouched3 << "0.0";
    QTest::newRow("long UTF-8 line cut inside a character")
        << QByteArray("5\r\n") + QByteArray("\xe2\x82\xac").repeated(50000) +
               QByteArray("\r\n1,00\r\n")
        << QStringList{"5", QString(TrackFile::MaxLineLength, QChar(0x20AC)), "1,00"} << untouched3
        << "0.0";
    QTest::newRow("UTF-8 umlaut") << QByteArray("5\r\nGleis \xc3\xa4\r\n1,00\r\n")
                                  << QStringList{"5", QString::fromUtf8("Gleis ä"), "1,00"}
                                  << untouched3 << "0.0";
}

void TestTrackFile::loadVariants() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, row1);
    QFETCH(QStringList, row3);
    QFETCH(QString, row10Length);
    w->check(2)->setChecked(false);
    w->minimumBox(1)->setText(QStringLiteral("2"));
    w->maximumBox(1)->setText(QStringLiteral("7"));
    QVERIFY(w->loadTrackFile(writeFile(QStringLiteral("v.sfr"), content), false));
    QCOMPARE(
        (QStringList{w->lengthBox(1)->text(), w->articleBox(1)->text(), w->priceBox(1)->text()}),
        row1);
    QCOMPARE(
        (QStringList{w->lengthBox(3)->text(), w->articleBox(3)->text(), w->priceBox(3)->text()}),
        row3);
    QCOMPARE(w->lengthBox(10)->text(), row10Length);
    QVERIFY(!w->check(2)->isChecked());
    QVERIFY(w->check(1)->isChecked());
    QCOMPARE(w->minimumBox(1)->text(), QStringLiteral("2"));
    QCOMPARE(w->maximumBox(1)->text(), QStringLiteral("7"));
}

void TestTrackFile::junkNeverBreaksTheTable() {
    QByteArray junk;
    for (int i = 0; i < 3000; ++i) {
        const char c = char((i * 7919) % 256);
        if (c != '\r' && c != '\n')
            junk += c;
    }
    junk += "\r\n" + QByteArray(5 * 1024 * 1024, 'x') + "\r\n\x01\x02Preis\x7f\r\n";
    QVERIFY(w->loadTrackFile(writeFile(QStringLiteral("junk.sfr"), junk), false));
    for (int r = 1; r <= 10; ++r) {
        for (QLineEdit* e : {w->lengthBox(r), w->articleBox(r), w->priceBox(r)}) {
            QVERIFY(e->text().size() <= TrackFile::MaxLineLength);
            for (const QChar c : e->text())
                QVERIFY((c.unicode() >= 0x20 || c == QLatin1Char('\t')) && c.unicode() != 0x7f);
        }
    }
    QVERIFY(!w->lengthBox(1)->text().isEmpty());
    QCOMPARE(w->articleBox(1)->text(), QString(TrackFile::MaxLineLength, QLatin1Char('x')));
    QCOMPARE(w->priceBox(1)->text(), QStringLiteral("Preis"));
}

void TestTrackFile::failedSaveKeepsOldFileAndName() {
    const QString good = dir.filePath(QStringLiteral("good.sfr"));
    QVERIFY(w->saveTrackFile(good));
    w->setCurrentTrackFile(good);
    // A folder nobody can write into; root may write anywhere, so there the "folder" is a file.
    QString target;
    QTemporaryDir locked;
    if (geteuid() != 0) {
        target = locked.filePath(QStringLiteral("old.sfr"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content\r\n");
        old.close();
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
    } else {
        target = good + QStringLiteral("/kaputt.sfr");
    }
    QString text, title;
    TestHelp::answerModal([&](QWidget* box) {
        title = box->windowTitle();
        if (auto* mb = qobject_cast<QMessageBox*>(box))
            text = mb->text();
        box->close();
    });
    w->saveAs(target);
    QTRY_COMPARE(title, QStringLiteral("Fehler beim Speichern"));
    QVERIFY2(text.startsWith(
                 QStringLiteral("Die Gleis-Tabelle konnte nicht gespeichert werden:\n") + target),
             qPrintable(text));
    QCOMPARE(w->currentTrackFile(), good);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix ") + good);
    if (geteuid() != 0) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old content\r\n"));
        QFile::setPermissions(locked.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

void TestTrackFile::failedLoadIsReported() {
    QString title;
    TestHelp::answerModal([&](QWidget* box) {
        title = box->windowTitle();
        box->close();
    });
    w->setCurrentTrackFile(QStringLiteral("/tmp/vorher.sfr"));
    w->loadFrom(dir.filePath(QStringLiteral("missing.sfr")));
    QCOMPARE(title, QStringLiteral("Fehler beim Laden"));
    QCOMPARE(w->currentTrackFile(), QStringLiteral("/tmp/vorher.sfr"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix /tmp/vorher.sfr"));
    // At start-up the same failure stays silent.
    QVERIFY(!w->loadTrackFile(dir.filePath(QStringLiteral("missing.sfr")), true));
    QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("64.3"));
}

QTEST_MAIN(TestTrackFile)
#include "tst_trackfile.moc"
