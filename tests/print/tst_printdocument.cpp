// The print document: fields, table cells, the insertion point and page breaks.
#include "datarow.h"
#include "filefaults.h"
#include "printdocument.h"

#include <QtGui>
#include <QtTest>

namespace {
const QString CrLf = QStringLiteral("\r\n");
const QString TableHtml = QStringLiteral("<table><tr><td>a</td><td>b</td></tr>"
                                         "<tr><td>&nbsp;</td><td>&nbsp;</td></tr></table>");
} // namespace

class TestPrintDocument : public QObject {
    Q_OBJECT
private slots:
    void fieldsFollowTheirText() {
        PrintDocument doc;
        const QString pair = file(QStringLiteral("<p>{Feld 21} und <b>{Feld 21}</b></p>"));
        QVERIFY(doc.defineField(31, QStringLiteral("{Feld 21}")));
        doc.setFieldText(31, QStringLiteral("24064"));
        QVERIFY(doc.insertDocumentFile(pair));
        QCOMPARE(doc.plainText(), QStringLiteral("24064 und 24064"));

        // A copy inserted later shows the field too, and a new text reaches every occurrence.
        doc.moveToEnd();
        QVERIFY(doc.insertText(CrLf));
        QVERIFY(doc.insertDocumentFile(pair));
        doc.setFieldText(31, QString());
        QCOMPARE(doc.plainText(), QStringLiteral(" und \n und "));
        doc.setFieldText(31, QStringLiteral("7"));
        QCOMPARE(doc.plainText(), QStringLiteral("7 und 7\n7 und 7"));

        // Defined after the text is there; occurrences side by side stay two.
        doc.reset();
        QVERIFY(
            doc.insertDocumentFile(file(QStringLiteral("<p>{Feld 22}{Feld 22}|{Feld 23}</p>"))));
        QVERIFY(doc.defineField(32, QStringLiteral("{Feld 22}")));
        QVERIFY(doc.defineField(33, QStringLiteral("{Feld 23}")));
        doc.setFieldText(32, QString());
        doc.setFieldText(33, QStringLiteral("{Feld 22}")); // reads like a placeholder, stays text
        doc.setFieldText(32, QStringLiteral("ab"));
        QCOMPARE(doc.plainText(), QStringLiteral("abab|{Feld 22}"));
        QVERIFY(!doc.defineField(34, QString()));
    }

    void tableCells() {
        PrintDocument doc;
        QVERIFY(doc.insertDocumentFile(file(TableHtml)));
        doc.moveToEnd();
        const int end = doc.position().offset;
        // Parts that are not there leave the insertion point where it was.
        QVERIFY(!doc.selectTablePart(PrintDocument::SelectRow, 0)); // no table chosen yet
        QVERIFY(!doc.selectTablePart(PrintDocument::SelectTable, 1));
        QCOMPARE(doc.position().offset, end);
        QVERIFY(doc.selectTablePart(PrintDocument::SelectTable, 0));
        QVERIFY(doc.selectTablePart(PrintDocument::SelectRow, 1));
        QVERIFY(!doc.selectTablePart(PrintDocument::SelectColumn, 2));
        QVERIFY(!doc.selectTablePart(PrintDocument::SelectRow, 2));
        QVERIFY(doc.selectTablePart(PrintDocument::SelectColumn, 1));

        QVERIFY(doc.insertText(QStringLiteral("\r\n1\n2\r3\r\n")));
        QCOMPARE(doc.tableCellText(0, 1, 1), CrLf + "1" + CrLf + "2" + CrLf + "3" + CrLf);
        // One paragraph, so every line of the cell has the same height as its neighbours'.
        QTextTable* table =
            qobject_cast<QTextTable*>(doc.textDocument()->rootFrame()->childFrames()[0]);
        const QTextTableCell cell = table->cellAt(1, 1);
        QCOMPARE(cell.firstCursorPosition().block(), cell.lastCursorPosition().block());
    }

    void positionsAndPageBreaks() {
        PrintDocument doc;
        QSignalSpy changed(&doc, &PrintDocument::changed);
        doc.setSwitches(false, false, false); // no redrawing while the document is built
        QVERIFY(doc.pageQuery());             // an empty document starts a page
        QVERIFY(doc.insertText(QStringLiteral("Seite eins")));
        QVERIFY(!doc.pageQuery());

        doc.moveToEnd();
        const PrintDocument::Position end = doc.position();
        QCOMPARE(end.offset, doc.textDocument()->characterCount());
        QVERIFY(!doc.setPosition(0, end.offset + 1) && !doc.setPosition(1, 0));
        QVERIFY(doc.setPosition(end.part, end.offset - 1));

        QVERIFY(doc.insertPageBreak());
        QVERIFY(doc.pageQuery());
        QVERIFY(doc.insertText(QStringLiteral("Seite zwei")));
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.plainText(), QStringLiteral("Seite eins\nSeite zwei"));
        QCOMPARE(changed.count(), 0);
        doc.setSwitches(true, true, false);
        QCOMPARE(changed.count(), 1);

        doc.setReadOnly(true);
        QVERIFY(!doc.insertText(QStringLiteral("x")) && !doc.insertPageBreak());
        doc.reset();
        QVERIFY(doc.insertText(QStringLiteral("x")));
        QVERIFY(!doc.insertDocumentFile(m_dir.filePath(QStringLiteral("fehlt.HED"))));
    }

    void pageBreaksNeverLeaveAPageEmpty_data() {
        // lines: of 20 px in a borderless table; 0: no table
        dataColumns<int, int>({"lines", "pages"});
        dataRow("break at the very start", 0, 1);
        dataRow("table ends above the page's end", 4, 2);
        dataRow("table fills its page exactly", 5, 2); // Qt alone leaves page 2 empty
        dataRow("table runs onto the next page", 6, 3);
    }

    void pageBreaksNeverLeaveAPageEmpty() {
        QFETCH(int, lines);
        QFETCH(int, pages);
        const QString table =
            "<table border='0' cellpadding='0' cellspacing='0'><tr><td>" +
            QStringLiteral("<p style='line-height:20px; margin:0'>x</p>").repeated(lines) +
            "</td></tr></table><p style='margin:0'></p>";
        // 75 x 300 points: pages of 100 px at 96 dpi.
        const QPageLayout small(QPageSize(QSizeF(300, 75), QPageSize::Point), QPageLayout::Portrait,
                                QMarginsF());
        for (const bool building : {true, false}) {
            PrintDocument doc;
            doc.layOutFor(small);
            doc.setSwitches(!building, false, false);
            if (lines > 0)
                QVERIFY(doc.insertDocumentFile(file(table)));
            doc.moveToEnd();
            doc.setPosition(0, doc.position().offset - 1);
            QVERIFY(doc.insertPageBreak());
            QVERIFY(doc.insertDocumentFile(file(QStringLiteral("<p>B</p>"))));
            QCOMPARE(doc.pageCount(), pages);
        }
    }

private:
    QString file(const QString& html) {
        const QString path = m_dir.filePath(QStringLiteral("f%1.HED").arg(++m_files));
        TestHelp::put(path, html.toUtf8());
        return path;
    }
    QTemporaryDir m_dir;
    int m_files = 0;
};

QTEST_MAIN(TestPrintDocument)
#include "tst_printdocument.moc"
