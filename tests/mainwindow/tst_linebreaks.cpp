// No box of the track table, nor the route and limit boxes, ever holds a line break, whichever
// way the text arrives; a saved table therefore always has its 30 lines.
#include "kernmain.h"
#include "linebreakfilter.h"
#include "seite1.h"
#include "settings.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using BoxOf = std::function<QLineEdit*(Seite1*)>;
using Arrival = std::function<void(QLineEdit*, const QString&)>;

class TestLineBreaks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { delete w; }
    void oneLineForm_data();
    void oneLineForm();
    void everyWayIntoEveryBox_data();
    void everyWayIntoEveryBox();
    void pastedCellsSaveThirtyLines();

private:
    Seite1* w = nullptr;
};

void TestLineBreaks::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(Kern::SettingsFilePath());
    w = Kern::Main();
    QVERIFY(QTest::qWaitForWindowExposed(w));
}

void TestLineBreaks::oneLineForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedCursor");
    QTest::newRow("no break") << "24064" << 2 << "24064" << 2;
    QTest::newRow("one spreadsheet cell") << "3,50\n" << 5 << "3,50" << 4;
    QTest::newRow("two spreadsheet cells") << "A\nB\n" << 4 << "A B" << 3;
    QTest::newRow("CR LF between cells") << "A\r\nB" << 4 << "A B" << 3;
    QTest::newRow("CR alone") << "A\rB" << 0 << "A B" << 0;
    QTest::newRow("empty lines inside") << "A\n\n\r\nB" << 6 << "A B" << 3;
    QTest::newRow("leading break") << "\r\nA" << 3 << "A" << 1;
    QTest::newRow("cursor inside a run") << "A\n\nB" << 2 << "A B" << 2;
    QTest::newRow("only breaks") << "\n\r\n" << 3 << "" << 0;
}

void TestLineBreaks::oneLineForm() {
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(QString, expected);
    QFETCH(int, expectedCursor);
    QCOMPARE(Kern::WithoutLineBreaks(text, &cursor), expected);
    QCOMPARE(cursor, expectedCursor);
}

void TestLineBreaks::everyWayIntoEveryBox_data() {
    QTest::addColumn<BoxOf>("box");
    QTest::addColumn<Arrival>("arrive");
    const QList<QPair<const char*, BoxOf>> boxes{
        {"article", [](Seite1* s) { return s->articleBox(2); }},
        {"length", [](Seite1* s) { return s->lengthBox(3); }},
        {"minimum", [](Seite1* s) { return s->minimumBox(4); }},
        {"maximum", [](Seite1* s) { return s->maximumBox(5); }},
        {"price", [](Seite1* s) { return s->priceBox(6); }},
        {"route", [](Seite1* s) { return s->routeBox(); }},
        {"limit", [](Seite1* s) { return s->limitBox(); }},
    };
    const QList<QPair<const char*, Arrival>> ways{
        {"set by the program", [](QLineEdit* e, const QString& t) { e->setText(t); }},
        {"context menu paste",
         [](QLineEdit* e, const QString& t) {
             QApplication::clipboard()->setText(t);
             e->selectAll();
             std::unique_ptr<QMenu> menu(e->createStandardContextMenu());
             // The entry that names the paste shortcut.
             const QString keys =
                 QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
             QAction* paste = nullptr;
             for (QAction* a : menu->actions())
                 if (a->text().endsWith(QLatin1Char('\t') + keys))
                     paste = a;
             QVERIFY(paste && paste->isEnabled());
             paste->trigger();
         }},
        {"drag and drop",
         [](QLineEdit* e, const QString& t) {
             e->clear();
             QMimeData data;
             data.setText(t);
             const QPoint at = e->rect().center();
             QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(e, &enter);
             QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(e, &drop);
         }},
        {"input method",
         [](QLineEdit* e, const QString& t) {
             e->clear();
             QInputMethodEvent commit;
             commit.setCommitString(t);
             QApplication::sendEvent(e, &commit);
         }},
    };
    for (const auto& b : boxes)
        for (const auto& way : ways)
            QTest::addRow("%s, %s", b.first, way.first) << b.second << way.second;
}

void TestLineBreaks::everyWayIntoEveryBox() {
    QFETCH(BoxOf, box);
    QFETCH(Arrival, arrive);
    QLineEdit* e = box(w);
    e->setFocus();
    arrive(e, QStringLiteral("7\n8\n")); // the limit box takes three characters
    QCOMPARE(e->text(), QStringLiteral("7 8"));
}

void TestLineBreaks::pastedCellsSaveThirtyLines() {
    QLineEdit* e = w->articleBox(1);
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

QTEST_MAIN(TestLineBreaks)
#include "tst_linebreaks.moc"
