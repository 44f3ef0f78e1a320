// What the boxes of the track table take however text reaches them, when a track table counts
// as changed, and the menu of the track systems.
#include "datarow.h"
#include "linebreakfilter.h"
#include "tablesnapshot.h"
#include "tracksystemmenu.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using Kern::BoxKind;

Q_DECLARE_METATYPE(Kern::BoxKind)
Q_DECLARE_METATYPE(TrackSystems::System)
Q_DECLARE_METATYPE(TrackFile::Table)

namespace {

const char* const Paths[] = {"Ctrl+V", "Shift+Insert", "context menu", "drop"};

// Puts text into the box the way a user does on the given path, at the cursor or over the
// selection.
void paste(QLineEdit* box, const QString& text, const QString& path) {
    if (path == QLatin1String("drop")) {
        QMimeData data;
        data.setText(text);
        const int cursor = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
        QPoint at(0, box->height() / 2);
        while (at.x() < box->width() && box->cursorPositionAt(at) != cursor)
            at.rx()++;
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QApplication::sendEvent(box, &drop);
        return;
    }
    QApplication::clipboard()->setText(text);
    if (path == QLatin1String("Ctrl+V")) {
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else if (path == QLatin1String("Shift+Insert")) {
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    } else {
        // The menu's paste entry is the one that names the paste key.
        const QString key = QLatin1Char('\t') +
                            QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
        QAction* insert = nullptr;
        for (QAction* a : menu->actions())
            if (a->text().endsWith(key))
                insert = a;
        QVERIFY(insert && insert->isEnabled());
        insert->trigger();
    }
}

TrackFile::Table table(std::initializer_list<TrackFile::Row> rows) {
    TrackFile::Table t;
    std::copy(rows.begin(), rows.end(), t.begin());
    return t;
}

} // namespace

class TestTableInput : public QObject {
    Q_OBJECT
private slots:
    void pasting_data() {
        dataColumns<BoxKind, QString, int, int, QString, QString>(
            {"kind", "before", "from", "to", "pasted", "after"});
        const BoxKind length = BoxKind::Length;
        const BoxKind digits = BoxKind::Digits;
        const BoxKind free = BoxKind::Free;
        struct Case {
            const char* name;
            BoxKind kind;
            const char* before;
            int from, to; // the selection the paste replaces; from == to: the cursor
            const char* pasted;
            const char* after;
        };
        const Case cases[] = {
            {"decimal comma becomes the point", length, "", 0, 0, "1234,5", "1234.5"},
            {"digits go in at the cursor", length, "12", 1, 1, "3.5", "13.52"},
            {"a second point is refused whole", length, "2.0", 3, 3, "1.5", "2.0"},
            {"the point of the replaced part does not count", length, "2.0", 0, 3, "1,5", "1.5"},
            {"letters are refused whole", length, "64.3", 4, 4, "7a", "64.3"},
            {"thousands point refused, not misread", length, "", 0, 0, "1.234,5", ""},
            {"blank refused", length, "", 0, 0, " 12", ""},
            {"spreadsheet cell in the middle", length, "34", 1, 1, "12\r\n", "3124"},
            {"over a loaded text alike", length, "64,3", 0, 4, "64,35", "64.35"},
            {"count takes digits", digits, "1", 1, 1, "23", "123"},
            {"count refuses a sign", digits, "1", 1, 1, "-2", "1"},
            {"article takes any text", free, "A", 1, 1, "-1,5 x", "A-1,5 x"},
            {"article drops the line break", free, "xy", 1, 1, "A\n", "xAy"},
            {"cells over a selection alike", free, "7 8", 0, 3, "7\n8\n", "7 8"},
        };
        for (const char* path : Paths)
            for (const Case& c : cases) {
                // A drop goes in where it lands and replaces no selection.
                if (c.from != c.to && QLatin1String(path) == QLatin1String("drop"))
                    continue;
                dataRow(qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(path),
                                                                QLatin1String(c.name))),
                        c.kind, QString::fromUtf8(c.before), c.from, c.to,
                        QString::fromUtf8(c.pasted), QString::fromUtf8(c.after));
            }
    }

    // Pasting follows the typing rule of the box on every path; what the rule would not take is
    // refused whole and the box keeps its text, so the box never shows a number the search reads
    // otherwise ("1234,5" would be read as 1234).
    void pasting() {
        QFETCH(BoxKind, kind);
        QFETCH(QString, before);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        const QString path =
            QString::fromUtf8(QTest::currentDataTag()).section(QLatin1Char(':'), 0, 0);
        QLineEdit box;
        LineBreakFilter::attach(&box, kind);
        box.resize(300, 30);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setText(before);
        if (from == to)
            box.setCursorPosition(from);
        else
            box.setSelection(from, to - from);
        paste(&box, pasted, path);
        QCOMPARE(box.text(), after);
    }

    // A loaded file shows what it holds, even text the typing rule would not let through; the
    // box still refuses a paste that breaks the rule afterwards, and takes one that keeps it.
    void setTextShowsWhatItIsGiven() {
        QLineEdit box;
        LineBreakFilter::attach(&box, BoxKind::Length);
        box.setText(QStringLiteral("64,3"));
        QCOMPARE(box.text(), QStringLiteral("64,3"));
        box.setText(QStringLiteral("7\r\n8\n"));
        QCOMPARE(box.text(), QStringLiteral("7 8"));
        box.setText(QStringLiteral("x"));
        box.end(false);
        box.insert(QStringLiteral("-"));
        QCOMPARE(box.text(), QStringLiteral("x"));
        box.insert(QStringLiteral(",5"));
        QCOMPARE(box.text(), QStringLiteral("x.5"));
    }

    void editBetween_data() {
        dataColumns<QString, QString, int, int, int, int, int, QString>(
            {"before", "after", "siteAt", "siteLength", "cursor", "at", "removed", "inserted"});
        dataRow("insert at the cursor", "12", "132", 1, 0, 2, 1, 0, "3");
        dataRow("repeated character at the cursor", "a,b", "a,,b", 1, 0, 2, 1, 0, ",");
        dataRow("same text, later cursor", "a,b", "a,,b", 2, 0, 3, 2, 0, ",");
        dataRow("selection replaced by text that starts alike", "7 8", "7\n8\n", 0, 3, 4, 0, 3,
                "7\n8\n");
        dataRow("backspace", "1.5", "1.", 3, 0, 2, 2, 1, "");
        dataRow("delete under a selection elsewhere", "1.5", "15", 0, 0, 1, 1, 1, "");
        dataRow("nothing changed", "64.3", "64.3", 1, 0, 1, 1, 0, "");
    }

    void editBetween() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, siteAt);
        QFETCH(int, siteLength);
        QFETCH(int, cursor);
        const Kern::TextEdit edit =
            Kern::editBetween(before, after, Kern::EditSite{siteAt, siteLength}, cursor);
        QTEST(edit.at, "at");
        QTEST(edit.removed, "removed");
        QTEST(edit.inserted, "inserted");
    }

    void changedTable_data() {
        dataColumns<TrackFile::Table, TrackFile::Table, bool>({"was", "is", "changed"});
        const TrackFile::Table start =
            table({{"64.3", "24064", "0,00"}, {"70.8", "24071", "1,50"}, {"0.0", "", "0,00"}});
        auto changed = [&start](int row, TrackFile::Row value) {
            TrackFile::Table t = start;
            t[std::size_t(row)] = value;
            return t;
        };
        dataRow("the same", start, start, false);
        dataRow("length set by the focus rule", start, changed(2, {"0,0", "", "0,00"}), false);
        dataRow("price as the search rewrites it", start, changed(1, {"70.8", "24071", "1.5"}),
                false);
        dataRow("a price that is no number, rewritten twice", table({{"1", "A", "1.2.3"}}),
                table({{"1", "A", "1,2,3"}}), false);
        dataRow("another length", start, changed(0, {"64.4", "24064", "0,00"}), true);
        dataRow("another article number", start, changed(0, {"64.3", "24064 ", "0,00"}), true);
        dataRow("a price emptied", start, changed(1, {"70.8", "24071", ""}), true);
        dataRow("the tenth row", start, changed(9, {"0.0", "X", "0,00"}), true);
    }

    void changedTable() {
        QFETCH(TrackFile::Table, was);
        QFETCH(TrackFile::Table, is);
        QFETCH(bool, changed);
        QCOMPARE(TableSnapshot(was) != TableSnapshot(is), changed);
    }

    // One submenu per gauge in the usual order, each system once; an entry names its system.
    void trackSystemMenu() {
        TrackSystemMenu menu;
        QStringList gauges;
        int entries = 0;
        for (QAction* a : menu.actions()) {
            QVERIFY(a->menu());
            gauges << a->text();
            entries += int(a->menu()->actions().size());
        }
        QCOMPARE(gauges, TrackSystems::gaugeOrder());
        int shipped = 0;
        for (const TrackSystems::Gauge& g : TrackSystems::byGauge())
            shipped += int(g.systems.size());
        QCOMPARE(entries, shipped);
        QSignalSpy spy(&menu, &TrackSystemMenu::chosen);
        QAction* piko = menu.entry(QStringLiteral("H0"), QStringLiteral("Piko A-Gleis"));
        QVERIFY(piko);
        piko->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].value<TrackSystems::System>().fileName,
                 QStringLiteral("h0-piko-a-gleis.sfr"));
    }
};

QTEST_MAIN(TestTableInput)
#include "tst_tableinput.moc"
