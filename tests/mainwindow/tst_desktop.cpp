// The program on the desktop: its screen presets, the settings file and the track file it starts
// with, the result grid copied to the clipboard and exported as a CSV file.
#include "commandline.h"
#include "datarow.h"
#include "filefaults.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "resultcommands.h"
#include "resulttablemodel.h"
#include "searchprogressbar.h"
#include "seite1.h"
#include "settings.h"
#include "twips.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>
#include <utility>

namespace {
using TestHelp::contentOf;

// The texts of the main window that do not show whole in their controls, as "key: text".
QStringList clippedTexts(const Seite1* w) {
    QStringList clipped;
    auto check = [&](const QWidget* c, const QString& text, bool fits) {
        if (!fits)
            clipped << c->objectName() + c->property("index").toString() + ": " + text;
    };
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(w)) // what is never shown cannot be cut off
            continue;
        const QFontMetrics fm(c->font());
        if (auto* label = qobject_cast<const QLabel*>(c)) {
            const QRect room = label->contentsRect();
            const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            check(c, label->text(), room.contains(fm.boundingRect(room, flags, label->text())));
        } else if (auto* button = qobject_cast<const QAbstractButton*>(c)) {
            const QString text = button->text().remove(QRegularExpression("&(?!&)"));
            const QRect room = c->contentsRect().adjusted(4, 2, -4, -2); // the button's bevel
            check(c, text,
                  text.isEmpty() ||
                      (fm.horizontalAdvance(text) <= room.width() && fm.height() <= room.height()));
        } else if (auto* frame = qobject_cast<QGroupBox*>(c)) {
            // Indented by about a character on either side.
            check(c, frame->title(),
                  fm.horizontalAdvance(frame->title()) + 2 * fm.averageCharWidth() <= c->width());
        }
    }
    const QHeaderView* header = w->grid()->horizontalHeader();
    const QFontMetrics fm(header->font());
    for (int col = 0; col < header->count(); ++col) {
        const QString text = header->model()->headerData(col, Qt::Horizontal).toString();
        check(header, text,
              fm.horizontalAdvance(text) + 2 <= header->sectionSize(col) &&
                  fm.height() <= header->height());
    }
    return clipped;
}

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
    void cleanup() { delete std::exchange(w, nullptr); }

    void everyPresetKeepsTheResult_data() {
        QTest::addColumn<int>("entry");
        for (int p = 0; p < 12; ++p)
            QTest::addRow("preset %d", p) << 10 + p;
    }

    // For each preset: the window's size against the screen its entry names, its place; every
    // caption, label, button text and grid heading shows whole, and the progress bar lies inside
    // the window, clear of the controls. The result stays as it was: its label, its rows in their
    // sorted order, the sort direction, the selection. Chosen again, a preset centres it anew.
    void everyPresetKeepsTheResult() {
        QFETCH(int, entry);
        searchSortAndSelect({3, 0});
        const QString label = w->resultLabel()->text();
        QTableView* grid = w->grid();
        w->extrasEntry(entry)->trigger();
        for (int i = 10; i <= 21; ++i)
            QCOMPARE(w->extrasEntry(i)->isChecked(), i == entry);
        // About four fifths of the named screen's width and all of its height.
        const QStringList named = w->extrasEntry(entry)->text().remove('&').split(" x ");
        const double wide = Twips::toPx(outer(w).width(), w) / named.value(0).toDouble();
        const double high = Twips::toPx(outer(w).height(), w) / named.value(1).toDouble();
        QVERIFY2(wide > 0.8 && wide < 0.82 && high >= 0.995 && high < 1.04,
                 qPrintable(QStringLiteral("%1 x %2").arg(wide).arg(high)));
        // Centred horizontally, 150 twips times the vertical factor above the vertical centre; but
        // the title bar of "1&600 x 1200", taller than the 1200 pixels of the screen, stays on it.
        const QRect screen = w->screen()->geometry();
        const double left = (Twips::fromPx(screen.width(), w) - outer(w).width()) / 2;
        const double top = std::max(
            (Twips::fromPx(screen.height(), w) - outer(w).height() - 300 * w->screenScale().y) / 2,
            Twips::fromPx(w->screen()->availableGeometry().top(), w));
        QVERIFY(qAbs(Twips::outerPos(w).x() - left) <= 15);
        QVERIFY(qAbs(Twips::outerPos(w).y() - top) <= 15);
        QWidget* bar = w->progressBar();
        QVERIFY(bar->parentWidget()->rect().contains(bar->geometry()));
        for (const QWidget* other :
             bar->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(other == bar || other->objectName().isEmpty() ||
                         !other->geometry().intersects(bar->geometry()),
                     qPrintable(other->objectName()));
        QCOMPARE(clippedTexts(w), QStringList());

        QCOMPARE(w->resultLabel()->text(), label);
        QVERIFY(w->sortAscendingFlag());
        // Ctrl+C copies the chosen rows in the order shown, the context menu all (the rows' order
        // kept) when none is chosen, with the group and heading lines.
        grid->setFocus();
        QTest::keySequence(grid, QKeySequence::Copy);
        QCOMPARE(firstCells(QApplication::clipboard()->text(), '\t'), " lfd. Nr. 4 1 ");
        grid->clearSelection();
        grid->actions().value(0)->trigger();
        QCOMPARE(firstCells(QApplication::clipboard()->text(), '\t'), " lfd. Nr. 4 3 2 1 ");
        const QPointF centred = Twips::outerPos(w);
        w->move(10, 10);
        w->extrasEntry(entry)->trigger();
        QCOMPARE(Twips::outerPos(w), centred);
    }

    void startUp_data() {
        // content: of the settings file, "%1" standing for the remembered file; null: no file;
        // "fifo": a link to a FIFO. remembered, named: "alt" (a track file of two rows), "neu"
        // (one row), "fifo", "missing", or a path. loaded: the article numbers of rows 1 and 2.
        dataColumns<QByteArray, QString, QString, double, QString>(
            {"content", "remembered", "named", "preset", "loaded"});
        const QString none = QStringLiteral("2406424071");
        const QByteArray zero(" 0 \r\n%1\r\n");
        dataRow("first start without a file", QByteArray(), "", "", 1.0, none);
        dataRow("preset five", QByteArray(" 5 \r\n%1\r\n"), "/tmp/x.sfr", "", 5.0, none);
        dataRow("not a number", QByteArray("abc\r\n%1\r\n"), "/tmp/y.sfr", "", 1.0, none);
        dataRow("out of range", QByteArray(" 12 \r\n%1\r\n"), "/tmp/name", "", 1.0, none);
        dataRow("comma, blanks and umlauts", zero, "/tmp/Gleise, H0 Märklin.sfr", "", 0.0, none);
        dataRow("Windows-1252 name", QByteArray(" 0 \r\nM\xe4rklin.sfr\r\n"), "Märklin.sfr", "",
                0.0, none);
        dataRow("settings file is a FIFO", QByteArray("fifo"), "", "", 1.0, none);
        dataRow("remembered file is loaded", zero, "alt", "", 0.0, "ALTALT2");
        dataRow("remembered file is a FIFO", zero, "fifo", "", 0.0, none);
        dataRow("remembered file is an endless device", zero, "/dev/zero", "", 0.0, none);
        dataRow("named file loaded instead", zero, "alt", "neu", 0.0, "NEU24071");
        dataRow("named file missing", zero, "alt", "missing", 0.0, "ALTALT2");
        dataRow("named file a pipe", zero, "alt", "fifo", 0.0, "ALTALT2");
    }

    // The settings give the preset and the remembered track file, which is loaded without a word
    // when it can be read; a file named at start takes its place, one that cannot be read is
    // reported over the window. None of the files read at start-up ever holds it up, and closing
    // writes the settings back as read, never putting a file in a device's place.
    void startUp() {
        QFETCH(QByteArray, content);
        QFETCH(QString, remembered);
        QFETCH(QString, named);
        QFETCH(double, preset);
        QTemporaryDir dir;
        const auto make = [&dir](const QString& kind) {
            if (kind.isEmpty() || kind.contains('/') || kind.contains('.'))
                return kind;
            const QString path = dir.filePath(QStringLiteral("Gleise ä ") + kind);
            if (kind == QLatin1String("fifo"))
                ::mkfifo(QFile::encodeName(path).constData(), 0600);
            else if (kind == QLatin1String("alt"))
                TestHelp::put(path, "11.1\r\nALT\r\n1,00\r\n12.2\r\nALT2\r\n1,00\r\n");
            else if (kind == QLatin1String("neu"))
                TestHelp::put(path, "22.2\r\nNEU\r\n2,00\r\n");
            return path;
        };
        remembered = make(remembered);
        named = make(named);
        const QString settings = Kern::settingsFilePath();
        QDir().mkpath(QFileInfo(settings).absolutePath());
        if (content == "fifo")
            QVERIFY(QFile::link(make(QStringLiteral("fifo")), settings));
        else if (!content.isNull())
            QVERIFY(TestHelp::put(settings, content.replace("%1", remembered.toUtf8())));
        QString seen;
        const QPointer<QTimer> poll = TestHelp::noteMessage(&seen);
        w = Kern::Main(named);
        delete poll.data(); // a message comes while the window starts, or never
        QCOMPARE(w->screenScale().preset, preset);
        QVERIFY(w->extrasEntry(10 + int(preset))->isChecked());
        // Only one file is read: the named one has one row, the remembered one two.
        QTEST(w->articleBox(1)->text() + w->articleBox(2)->text(), "loaded");
        const bool namedLoads = w->articleBox(1)->text() == QLatin1String("NEU");
        const QString shown = namedLoads ? named : remembered;
        QCOMPARE(w->currentTrackFile(), shown);
        const QString refused =
            "Fehler beim Laden|Die Gleis-Tabelle konnte nicht geladen werden:\n" + named + '\n';
        QVERIFY2(named.isEmpty() || namedLoads ? seen.isEmpty() : seen.startsWith(refused),
                 qPrintable(seen));
        w->close();
        if (content != "fifo")
            QCOMPARE(QString::fromUtf8(contentOf(settings)),
                     QStringLiteral(" %1 \r\n%2\r\n").arg(int(preset)).arg(shown));
        struct stat st {};
        QVERIFY(::stat("/dev/zero", &st) == 0 && S_ISCHR(st.st_mode));
    }

    void commandLine_data() {
        dataColumns<QStringList, QString>({"arguments", "trackFile"});
        const QString here = QDir::currentPath() + QLatin1Char('/');
        dataRow("relative path", QStringList{"Gleise/h0.sfr"}, here + "Gleise/h0.sfr");
        dataRow("file URL", QStringList{"file:///tmp/Gleisb%C3%B6gen%20H0.sfr"},
                "/tmp/Gleisbögen H0.sfr");
        dataRow("file named like an option", QStringList{"--", "-v"}, here + "-v");
        // The toolkit takes its own options and their values out later, in either spelling.
        dataRow("toolkit options", QStringList{"-style", "Fusion", "--reverse", "/a.sfr"},
                "/a.sfr");
        dataRow("toolkit value joined", QStringList{"--style=Fusion", "-qwindowtitle", "x", "a"},
                here + "a");
        dataRow("toolkit option lacking its value", QStringList{"/a.sfr", "-platform"}, "/a.sfr");
    }

    // The track file the window starts with (what needs no window: check_commandline.sh).
    void commandLine() {
        QFETCH(QStringList, arguments);
        QByteArrayList raw{"/usr/bin/schotterfix"}; // as main gets them, from the system's bytes
        std::vector<const char*> argv{raw.constFirst().constData()};
        for (const QString& a : arguments)
            argv.push_back((raw << a.toUtf8()).constLast().constData());
        const Kern::CommandLine line = Kern::readCommandLine(int(argv.size()), argv.data());
        QVERIFY2(line.run && line.errors.isEmpty(), qPrintable(line.errors));
        QTEST(line.trackFile, "trackFile");
    }

    // The export writes the whole table in the order shown, whatever is selected; a failed one
    // says why and leaves the old file.
    void exportResult() {
        searchSortAndSelect({1});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Ergebnis ä"));
        TestHelp::answerModalOf<QFileDialog>([&](QFileDialog* d) {
            d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            static_cast<QDialog*>(d)->accept();
        });
        w->dateiEntry(7)->trigger();
        const QByteArray csv = contentOf(path + QStringLiteral(".csv")); // a BOM, then the lines
        QCOMPARE(firstCells(QString::fromUtf8(csv.mid(3)), ';'), " lfd. Nr. 4 3 2 1 ");
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
    // The start-up search, sorted ascending by "Anzahl Gleise" (the order of discovery reversed),
    // the given rows selected.
    void searchSortAndSelect(std::initializer_list<int> rows) {
        w = Kern::Main();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
        QTRY_COMPARE(w->grid()->model()->rowCount(), 4); // the search runs in the background
        w->Grid_Click(11);
        for (const int r : rows)
            w->grid()->selectionModel()->select(w->grid()->model()->index(r, 0),
                                                QItemSelectionModel::Select |
                                                    QItemSelectionModel::Rows);
    }
    static QSizeF outer(const QWidget* w) { return Twips::outerSize(w); }
    Seite1* w = nullptr;
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
