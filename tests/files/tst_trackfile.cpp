// Track-table files through the main window: the dialogs, the caption and the current name, and
// what the user is told when a file cannot be saved or loaded. The file format itself is tested
// without a window in tst_trackformat.
#include "filefaults.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "seite1.h"
#include "settings.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

// Types the path into the dialog's name box and confirms, as a user would.
static void chooseFile(QFileDialog* dialog, const QString& path) {
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept();
    QVERIFY(!dialog->isVisible());
}

// Answers the next message box and keeps its title and text.
struct Message {
    QString title, text;
    void expect() {
        TestHelp::answerModal([this](QWidget* box) {
            title = box->windowTitle();
            if (auto* mb = qobject_cast<QMessageBox*>(box))
                text = mb->text();
            box->close();
        });
    }
};

class TestTrackFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { delete w; }
    void roundTripThroughDialogs();
    void loadKeepsChecksAndCounts();
    void failedSaveKeepsOldFileAndName_data();
    void failedSaveKeepsOldFileAndName();
    void failedLoadIsReported_data();
    void failedLoadIsReported();

private:
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

void TestTrackFile::loadKeepsChecksAndCounts() {
    w->check(2)->setChecked(false);
    w->minimumBox(1)->setText(QStringLiteral("2"));
    w->maximumBox(1)->setText(QStringLiteral("7"));
    QVERIFY(w->loadTrackFile(
        writeFile(QStringLiteral("v.sfr"), "10\r\nA\r\n1,00\r\n20\r\nB\r\n2,00\r\n30\r\n"), false));
    QCOMPARE(w->articleBox(2)->text(), QStringLiteral("B"));
    QCOMPARE(w->lengthBox(3)->text(), QStringLiteral("77.5")); // the incomplete row is left alone
    QVERIFY(!w->check(2)->isChecked());
    QVERIFY(w->check(1)->isChecked());
    QCOMPARE(w->minimumBox(1)->text(), QStringLiteral("2"));
    QCOMPARE(w->maximumBox(1)->text(), QStringLiteral("7"));
}

void TestTrackFile::failedSaveKeepsOldFileAndName_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("disk full") << "full";
    QTest::newRow("folder that is a file") << "notdir";
    QTest::newRow("device as target") << "device";
}

void TestTrackFile::failedSaveKeepsOldFileAndName() {
    QFETCH(QString, fault);
    const QString good = writeFile(QStringLiteral("good.sfr"), "good\r\n");
    w->setCurrentTrackFile(good);
    QTemporaryDir locked;
    QString target = locked.filePath(QStringLiteral("old.sfr"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old content\r\n") == 13);
    old.close();
    if (fault == QLatin1String("notdir"))
        target = good + QStringLiteral("/kaputt.sfr");
    else if (fault == QLatin1String("device"))
        target = QStringLiteral("/dev/null");

    Message message;
    message.expect();
    if (fault == QLatin1String("full")) {
        TestHelp::FileSizeLimit full(100); // the kernel's own write failure
        w->saveAs(target);
    } else {
        w->saveAs(target);
    }
    QTRY_COMPARE(message.title, QStringLiteral("Fehler beim Speichern"));
    QVERIFY2(message.text.startsWith(
                 QStringLiteral("Die Gleis-Tabelle konnte nicht gespeichert werden:\n") + target +
                 QLatin1Char('\n')) &&
                 !message.text.endsWith(QLatin1Char('\n')),
             qPrintable(message.text));
    QCOMPARE(w->currentTrackFile(), good);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix ") + good);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old content\r\n"));
    struct stat st {};
    QVERIFY(::stat("/dev/null", &st) == 0 && S_ISCHR(st.st_mode));
}

void TestTrackFile::failedLoadIsReported_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("missing file") << "missing.sfr";
    QTest::newRow("FIFO") << "fifo.sfr";
    QTest::newRow("endless device") << "/dev/zero";
}

void TestTrackFile::failedLoadIsReported() {
    QFETCH(QString, path);
    const QString fifo = dir.filePath(QStringLiteral("fifo.sfr"));
    QFile::remove(fifo);
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const QString full = path.startsWith(QLatin1Char('/')) ? path : dir.filePath(path);
    Message message;
    message.expect();
    w->setCurrentTrackFile(QStringLiteral("/tmp/vorher.sfr"));
    w->loadFrom(full);
    QTRY_COMPARE(message.title, QStringLiteral("Fehler beim Laden"));
    QVERIFY(message.text.startsWith(
        QStringLiteral("Die Gleis-Tabelle konnte nicht geladen werden:\n") + full));
    QCOMPARE(w->currentTrackFile(), QStringLiteral("/tmp/vorher.sfr"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix /tmp/vorher.sfr"));
    // At start-up the same failure stays silent.
    QVERIFY(!w->loadTrackFile(full, true));
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("64.3"));
}

QTEST_MAIN(TestTrackFile)
#include "tst_trackfile.moc"
