// Track-table files through the main window: the dialogs, the caption and the current name, and
// what the user is told when a file cannot be saved or loaded. The format itself is tested
// without a window in tst_trackformat.
#include "filefaults.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "seite1.h"
#include "settings.h"

#include <QtTest>
#include <QtWidgets>

namespace {
const QString Caption = QStringLiteral("Kuppli's Schotterfix ");

// Answers the next file dialog: types the path and confirms, or cancels.
void answerDialog(const QString& path) {
    TestHelp::answerModalOf<QFileDialog>([=](QFileDialog* d) {
        QCOMPARE(d->defaultSuffix(), QStringLiteral("sfr"));
        if (path.isEmpty())
            return d->reject();
        d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(d)->accept();
    });
}

} // namespace

class TestTrackFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        QFile::remove(Kern::settingsFilePath());
        w = Kern::Main();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void cleanup() { delete w; }

    // Saved and loaded again through the dialogs and the shortcut; the question about a changed
    // table is the window tests' (tst_seite1).
    void roundTripThroughDialogs() {
        const QString path = m_dir.filePath(QStringLiteral("Gleisbögen H0.sfr"));
        w->priceBox(4)->setText(QStringLiteral("3,5"));
        w->articleBox(9)->setText(QStringLiteral("Bogen ä"));
        answerDialog(path);
        w->dateiEntry(2)->trigger();
        QCOMPARE(w->windowTitle(), Caption + path);
        w->priceBox(4)->clear();
        w->articleBox(9)->clear();
        w->lengthBox(10)->setText(QStringLiteral("1"));
        w->setCurrentTrackFile(QString());
        w->markTableUnchanged();
        answerDialog(path);
        w->activateWindow(); // the shortcut needs the window active again after the dialog
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(w->currentTrackFile(), path);
        QCOMPARE(w->windowTitle(), Caption + path);
        QCOMPARE(w->priceBox(4)->text(), QStringLiteral("3,50"));
        QCOMPARE(w->articleBox(9)->text(), QStringLiteral("Bogen ä"));
        QCOMPARE(w->lengthBox(10)->text(), QStringLiteral("0.0"));
        // A cancelled load changes nothing.
        w->lengthBox(1)->setText(QStringLiteral("5"));
        w->markTableUnchanged();
        answerDialog(QString());
        w->toolbarButton(1)->trigger();
        QCOMPARE(w->currentTrackFile(), path);
        QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("5"));
    }

    // A failed save or load says why, and keeps the file, the table and the current name; at
    // start-up the same failure stays silent. The faults themselves are tst_safefile's.
    void failures() {
        const QString before = m_dir.filePath(QStringLiteral("vorher.sfr"));
        const QString missing = m_dir.filePath(QStringLiteral("fehlt.sfr"));
        QVERIFY(TestHelp::put(before, "1\r\nALT\r\n1,00\r\n"));
        w->setCurrentTrackFile(before);
        for (const bool save : {true, false}) {
            QString seen;
            TestHelp::noteMessage(&seen);
            if (save) {
                TestHelp::FileSizeLimit full(10);
                w->saveAs(before);
            } else {
                w->loadFrom(missing);
            }
            const QString head =
                QStringLiteral("Fehler beim %1|Die Gleis-Tabelle konnte nicht %2 werden:\n%3\n")
                    .arg(save ? "Speichern" : "Laden", save ? "gespeichert" : "geladen",
                         save ? before : missing);
            QVERIFY2(seen.startsWith(head) && !seen.endsWith('\n'), qPrintable(seen));
            QCOMPARE(w->currentTrackFile(), before);
            QCOMPARE(w->windowTitle(), Caption + before);
            QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("64.3"));
            QCOMPARE(TestHelp::contentOf(before), QByteArray("1\r\nALT\r\n1,00\r\n"));
        }
        QVERIFY(!w->loadTrackFile(missing, true));
        QVERIFY(!QApplication::activeModalWidget());
        // The file is short: the rows beyond it keep what they show.
        w->loadFrom(before);
        QCOMPARE(w->articleBox(1)->text(), QStringLiteral("ALT"));
        QCOMPARE(w->lengthBox(2)->text(), QStringLiteral("70.8"));
    }

private:
    Seite1* w = nullptr;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestTrackFile)
#include "tst_trackfile.moc"
