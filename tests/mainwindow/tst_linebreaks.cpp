// No box of the track table, nor the route and limit boxes, ever holds a line break, whichever
// way the text arrives; a saved table therefore always has its 30 lines.
#include "datarow.h"
#include "kernmain.h"
#include "linebreakfilter.h"
#include "seite1.h"
#include "settings.h"

#include <QtTest>
#include <QtWidgets>

class TestLineBreaks : public QObject {
    Q_OBJECT
private slots:
    void oneLineForm_data() {
        dataColumns<QString, int, QString, int>({"text", "cursor", "expected", "expectedCursor"});
        dataRow("no break", "24064", 2, "24064", 2);
        dataRow("one spreadsheet cell", "3,50\n", 5, "3,50", 4);
        dataRow("two cells, CR LF", "A\r\nB\r\n", 4, "A B", 3);
        dataRow("CR alone, cursor at the start", "A\rB", 0, "A B", 0);
        dataRow("empty lines inside", "A\n\n\r\nB", 6, "A B", 3);
        dataRow("leading break", "\r\nA", 3, "A", 1);
        dataRow("cursor inside a run", "A\n\nB", 2, "A B", 2);
        dataRow("only breaks", "\n\r\n", 3, "", 0);
    }
    void oneLineForm() {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, expected);
        QFETCH(int, expectedCursor);
        QCOMPARE(Kern::WithoutLineBreaks(text, &cursor), expected);
        QCOMPARE(cursor, expectedCursor);
    }

    void everyBoxEveryWay() {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(Kern::SettingsFilePath());
        std::unique_ptr<Seite1> w(Kern::Main());
        const QString cells = QStringLiteral("7\n8\n"); // the limit box takes three characters
        for (QLineEdit* e : {w->articleBox(2), w->lengthBox(3), w->minimumBox(4), w->maximumBox(5),
                             w->priceBox(6), w->routeBox(), w->limitBox()}) {
            e->setText(cells);
            QCOMPARE(e->text(), QStringLiteral("7 8"));
        }
        QLineEdit* e = w->articleBox(1);
        QMimeData data;
        data.setText(cells);
        const QPoint at = e->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        e->clear();
        QApplication::sendEvent(e, &enter);
        QApplication::sendEvent(e, &drop);
        QCOMPARE(e->text(), QStringLiteral("7 8"));
        QInputMethodEvent composed;
        composed.setCommitString(cells);
        e->clear();
        QApplication::sendEvent(e, &composed);
        QCOMPARE(e->text(), QStringLiteral("7 8"));
        // Cells pasted from a spreadsheet with the keys: the saved table keeps its 30 lines.
        QApplication::clipboard()->setText(QStringLiteral("A\nB\n"));
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e->text(), QStringLiteral("A B"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.sfr"));
        QVERIFY(w->saveTrackFile(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.count('\n'), 30);
        QVERIFY(bytes.startsWith("64.3\r\nA B\r\n"));
    }
};

QTEST_MAIN(TestLineBreaks)
#include "tst_linebreaks.moc"
