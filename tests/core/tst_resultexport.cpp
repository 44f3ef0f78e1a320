// The result table as text for other programs: the rows chosen, the clipboard text and CSV bytes.
#include "datarow.h"
#include "resultexport.h"

#include <QtTest>

using namespace Kern;

namespace {
// A table whose shown texts differ from the values behind them, as with a model of numbers.
class ShownTable : public QAbstractTableModel {
public:
    ShownTable(QStringList headings, QList<QStringList> rows)
        : m_headings(std::move(headings)), m_rows(std::move(rows)) {}
    int rowCount(const QModelIndex& = {}) const override { return int(m_rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return int(m_headings.size()); }
    QVariant data(const QModelIndex& index, int role) const override {
        const QString shown = m_rows.at(index.row()).at(index.column());
        return role == Qt::DisplayRole ? QVariant(shown) : QVariant(shown.size() * 1.5);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal)
            return section + 1;
        return role == Qt::DisplayRole ? QVariant(m_headings.at(section)) : QVariant();
    }

private:
    QStringList m_headings;
    QList<QStringList> m_rows;
};

const QStringList First{"1", "1000,0", "0,0", "2", "5", "7", "0,00"};
const QStringList Second{"2", "999,9", "-0,1", "", "11", "11", "1.234,50"};
} // namespace

class TestResultExport : public QObject {
    Q_OBJECT
private slots:
    void texts_data() {
        dataColumns<QStringList, QList<int>, QList<QStringList>>({"headings", "rows", "expected"});
        const QStringList headings{"lfd. Nr.", "Länge",         "-/+",        "Gleis Ä",
                                   "Gleis ö",  "Anzahl Gleise", "Gesamtpreis"};
        const QStringList groups{"", "Strecke (mm)", "", "Gleistypen (mm)", "", "", ""};
        dataRow("all rows, texts as shown", headings, QList<int>{0, 1},
                QList<QStringList>{groups, headings, First, Second});
        dataRow("chosen rows in the order given", headings, QList<int>{1, 0},
                QList<QStringList>{groups, headings, Second, First});
        const QStringList noType{"lfd. Nr.", "Länge", "-/+", "Anzahl Gleise", "Gesamtpreis"};
        dataRow("no type: no caption above type columns", noType, QList<int>{},
                QList<QStringList>{{"", "Strecke (mm)", "", "", ""}, noType});
    }
    void texts() {
        QFETCH(QStringList, headings);
        QFETCH(QList<int>, rows);
        QFETCH(QList<QStringList>, expected);
        const ShownTable model(headings,
                               {First.first(headings.size()), Second.first(headings.size())});
        QCOMPARE(resultTexts(model, rows), expected);
    }

    // Each format quotes what would break its own cells or lines, doubling the quotes.
    void quoting_data() {
        dataColumns<QString, QString, QString>({"cell", "tsv", "csv"});
        dataRow("plain", "Weiche Ä", "Weiche Ä", "Weiche Ä");
        dataRow("semicolon", "A;B", "A;B", "\"A;B\"");
        dataRow("double quote", "5\" lang", "\"5\"\" lang\"", "\"5\"\" lang\"");
        dataRow("tab", "A\tB", "\"A\tB\"", "A\tB");
        dataRow("line feed", "A\nB", "\"A\nB\"", "\"A\nB\"");
        dataRow("carriage return", "A\rB", "\"A\rB\"", "\"A\rB\"");
    }
    void quoting() {
        QFETCH(QString, cell);
        QFETCH(QString, tsv);
        QFETCH(QString, csv);
        const QList<QStringList> table{{"x", cell, "y"}, {"1"}};
        QCOMPARE(tabSeparatedText(table), "x\t" + tsv + "\ty\n1\n");
        QCOMPARE(csvBytes(table), "\xEF\xBB\xBFx;" + csv.toUtf8() + ";y\r\n1\r\n");
    }
};

QTEST_APPLESS_MAIN(TestResultExport)
#include "tst_resultexport.moc"
