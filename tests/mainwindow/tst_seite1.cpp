// The main window driven like a user: start values, typing, the search, sorting and dispatch.
#include "germanformat.h"
#include "kern.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "resulttablemodel.h"
#include "searchrunner.h"
#include "seite1.h"
#include "settings.h"
#include "twips.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QtTest>

class TestSeite1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startValues();
    void controlsAreNamedAndPlaced();
    void typingRules_data();
    void typingRules();
    void focusLossTexts();
    void focusRulesOnlyWithinTheWindow();
    void clipboardKeysDoNothing();
    void startSearch();
    void minMaxMessageAndFocus();
    void sortingAlternates();
    void runningSearchCanBeStopped_data();
    void runningSearchCanBeStopped();
    void toolbarDispatch_data();
    void toolbarDispatch();
    void tagThatIsNoNumberRunsNothing();
    void shortcutsReachTheirWindows();
    void closingWritesSettings_data();
    void closingWritesSettings();

private:
    Seite1* w = nullptr;
};

void TestSeite1::initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
}

void TestSeite1::init() {
    QFile::remove(Kern::SettingsFilePath());
    w = Kern::Main();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->activateWindow();
}

void TestSeite1::cleanup() {
    delete w;
    w = nullptr;
}

void TestSeite1::startValues() {
    const char* articles[] = {"24064", "24071", "24077", "24094", "24172",
                              "24188", "24229", "24236", "",      ""};
    const char* lengths[] = {"64.3",  "70.8",  "77.5",  "94.2", "171.7",
                             "188.3", "229.3", "236.1", "0.0",  "0.0"};
    for (int r = 1; r <= 10; ++r) {
        QCOMPARE(w->articleBox(r)->text(), QLatin1String(articles[r - 1]));
        QCOMPARE(w->lengthBox(r)->text(), QLatin1String(lengths[r - 1]));
        QCOMPARE(w->minimumBox(r)->text(), QStringLiteral("0"));
        QCOMPARE(w->maximumBox(r)->text(), QStringLiteral("9999"));
        QCOMPARE(w->priceBox(r)->text(), QStringLiteral("0,00"));
        QVERIFY(w->check(r)->isChecked());
    }
    QCOMPARE(w->routeBox()->text(), QStringLiteral("1000"));
    QCOMPARE(w->limitBox()->text(), QStringLiteral("500"));
    QCOMPARE(w->limitBox()->maxLength(), 3);
    QCOMPARE(w->shortfallList()->currentText(), QStringLiteral("0,0"));
    QCOMPARE(w->shortfallList()->count(), 11);
    QCOMPARE(w->shortfallList()->itemText(10), QStringLiteral("-1,0"));
    QCOMPARE(w->excessList()->itemText(3), QStringLiteral("+0,3"));
    QCOMPARE(w->excessList()->itemData(3).toInt(), 3);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix"));
    QCOMPARE(w->resultLabel()->text(), QStringLiteral("Ergebnis:"));
    // Fifteen columns with ten empty type headings and no rows.
    QCOMPARE(w->resultTable()->columnCount(), 15);
    QCOMPARE(w->resultTable()->rowCount(), 0);
    QCOMPARE(w->resultTable()->cellText(0, 3), QString());
    QVERIFY(w->extrasEntry(11)->isChecked());
}

void TestSeite1::controlsAreNamedAndPlaced() {
    // Every control of an array is found by its name and index alone.
    int text3 = 0;
    for (QLineEdit* e : w->findChildren<QLineEdit*>(QStringLiteral("Text3")))
        text3 += e->property("index").toInt();
    QCOMPARE(text3, 55);
    QVERIFY(w->findChild<QWidget*>(QStringLiteral("Line1")));
    QVERIFY(w->findChild<QWidget*>(QStringLiteral("Line2")));
    QCOMPARE(w->toolbarButton(6)->toolTip(), QStringLiteral("Rechner mit Ergebnisübernahme"));
    QCOMPARE(w->dateiEntry(1)->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    QCOMPARE(w->hilfeEntry(1)->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(w->dateiEntry(3)->isSeparator());
    // Tab order: row 1 check box, article, length ... then the route settings.
    auto tabFrom = [this](QWidget* from) {
        from->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(from, Qt::Key_Tab);
        return w->focusWidget();
    };
    QCOMPARE(tabFrom(w->check(1)), static_cast<QWidget*>(w->articleBox(1)));
    QCOMPARE(tabFrom(w->priceBox(1)), static_cast<QWidget*>(w->check(2)));
    QCOMPARE(tabFrom(w->priceBox(10)), static_cast<QWidget*>(w->routeBox()));
    QCOMPARE(tabFrom(w->excessList()), static_cast<QWidget*>(w->limitBox()));
    QCOMPARE(tabFrom(w->limitBox()), static_cast<QWidget*>(w->startButton()));
}

void TestSeite1::typingRules_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    QTest::newRow("length comma") << "Text3"
                                  << "64,3"
                                  << "64.3";
    QTest::newRow("length second point") << "Text3"
                                         << "64,3.,"
                                         << "64.3";
    QTest::newRow("length letters and minus") << "Text3"
                                              << "a-1b"
                                              << "1";
    QTest::newRow("route box") << "Text2"
                               << "12,5x"
                               << "12.5";
    QTest::newRow("minimum digits") << "Text4"
                                    << "1,2-a3"
                                    << "123";
    QTest::newRow("maximum digits") << "Text5"
                                    << "9.9"
                                    << "99";
    QTest::newRow("article free text") << "Text6"
                                       << "A-1,5"
                                       << "A-1,5";
    QTest::newRow("limit three characters") << "Text1"
                                            << "abcd"
                                            << "abc";
}

void TestSeite1::typingRules() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QLineEdit* e = nullptr;
    for (QLineEdit* c : w->findChildren<QLineEdit*>(box))
        if (c->property("index").toInt() == 9 || !c->property("index").isValid())
            e = c;
    QVERIFY(e);
    e->setFocus();
    e->clear();
    QTest::keyClicks(e, keys);
    QCOMPARE(e->text(), expected);
    e->setText(QStringLiteral("123"));
    e->setCursorPosition(3);
    QTest::keyClick(e, Qt::Key_Backspace);
    QCOMPARE(e->text(), QStringLiteral("12"));
}

void TestSeite1::focusLossTexts() {
    struct Case {
        QLineEdit* box;
        const char* expected;
    } cases[] = {{w->maximumBox(2), "9999"},
                 {w->minimumBox(2), "0"},
                 {w->lengthBox(2), "0,0"},
                 {w->routeBox(), "0,0"}};
    for (const Case& c : cases) {
        c.box->setFocus();
        c.box->clear();
        w->articleBox(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(c.box->text(), QLatin1String(c.expected));
    }
    // The design value "0.0" turns into "0,0" after having had the focus.
    w->lengthBox(10)->setFocus();
    w->articleBox(1)->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->lengthBox(10)->text(), QStringLiteral("0,0"));
    // A value other than 0 stays as typed.
    w->lengthBox(3)->setFocus();
    w->articleBox(1)->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->lengthBox(3)->text(), QStringLiteral("77.5"));
}

void TestSeite1::focusRulesOnlyWithinTheWindow() {
    // Opening another window or the menu bar is no leaving of the box.
    QLineEdit* e = w->maximumBox(4);
    e->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(w));
    e->clear();
    TestHelp::answerModal([](QWidget* modal) { modal->close(); });
    w->toolbarButton(6)->trigger(); // the calculator
    QCOMPARE(e->text(), QString());
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    e->setFocus();
    QTest::keyClick(e, Qt::Key_Alt);
    QTest::keyRelease(e, Qt::Key_Alt);
    QCOMPARE(e->text(), QString());
    e->setFocus(Qt::TabFocusReason);
    w->minimumBox(4)->setFocus(Qt::TabFocusReason);
    QCOMPARE(e->text(), QStringLiteral("9999"));
}

void TestSeite1::clipboardKeysDoNothing() {
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    QLineEdit* e = w->lengthBox(1);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(e->text(), QStringLiteral("64.3"));
    QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(e->text(), QStringLiteral("64.3"));
    // A key that types several characters: each goes through the rule.
    QKeyEvent several(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("1a,-2"));
    e->setText(QStringLiteral("5"));
    e->setCursorPosition(1);
    QApplication::sendEvent(e, &several);
    QCOMPARE(e->text(), QStringLiteral("51.2"));
    // The article box has no filter: pasting works there.
    w->articleBox(9)->setFocus();
    QTest::keyClick(w->articleBox(9), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w->articleBox(9)->text(), QStringLiteral("abc"));
}

void TestSeite1::startSearch() {
    QTest::mouseClick(w->startButton(), Qt::LeftButton);
    QTRY_VERIFY(!w->searchRunning());
    const Kern::ResultTableModel* m = w->resultTable();
    QCOMPARE(m->columnCount(), 13);
    QCOMPARE(m->rowCount(), 4);
    QStringList headings, row;
    for (int c = 0; c < 13; ++c) {
        headings << m->headerData(c, Qt::Horizontal).toString();
        row << m->cellText(1, c);
    }
    QCOMPARE(headings,
             (QStringList{"lfd. Nr.", "Länge", "-/+", "24064", "24071", "24077", "24094", "24172",
                          "24188", "24229", "24236", "Anzahl Gleise", "Gesamtpreis"}));
    QCOMPARE(row,
             (QStringList{"1", "1000,0", "0,0", "", "2", "5", "3", "", "1", "", "", "11", "0,00"}));
    QVERIFY(!w->check(9)->isChecked());
    QVERIFY(!w->check(10)->isChecked());
    const QStringList lines = w->resultLabel()->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral(" Ergebnis: 4 Kombinationen "));
    QVERIFY(lines[1].startsWith(QStringLiteral(" (Dauer: ")) &&
            lines[1].endsWith(QStringLiteral(" Sek.)")));
    // The grid applies the model's widths: 658 twips are 44 pixels at 96 dpi (scaled by the
    // preset).
    QCOMPARE(w->grid()->horizontalHeader()->count(), 13);
    const int expected = Twips::toPx(w->resultTable()->columnWidthTwips(3), w);
    QCOMPARE(w->grid()->columnWidth(3), expected);
    QCOMPARE(w->resultTable()->columnWidthTwips(3), 843); // 5925 x 1.28 / 9
}

void TestSeite1::minMaxMessageAndFocus() {
    QTest::mouseClick(w->startButton(), Qt::LeftButton);
    QTRY_VERIFY(!w->searchRunning());
    w->minimumBox(3)->setText(QStringLiteral("10000"));
    QString text, title;
    TestHelp::answerModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box) {
            text = box->text();
            title = box->windowTitle();
        }
        modal->close();
    });
    QTest::mouseClick(w->startButton(), Qt::LeftButton);
    QTRY_VERIFY(!w->searchRunning());
    QCOMPARE(title, QStringLiteral("Eingabefehler"));
    QCOMPARE(text, QStringLiteral("Achtung, die Min.-Anzahl eines gewünschten Gleises darf nicht "
                                  "größer als die Max.-Anzahl sein."));
    QTRY_COMPARE(w->focusWidget(), static_cast<QWidget*>(w->minimumBox(3)));
    QCOMPARE(w->resultTable()->rowCount(), 4); // the previous result stays
    QCOMPARE(w->resultLabel()->text(), QString());
}

void TestSeite1::sortingAlternates() {
    w->shortfallList()->setCurrentIndex(10);
    w->excessList()->setCurrentIndex(10);
    w->priceBox(1)->setText(QStringLiteral("1,10"));
    w->priceBox(5)->setText(QStringLiteral("3"));
    QTest::mouseClick(w->startButton(), Qt::LeftButton);
    QTRY_VERIFY(!w->searchRunning());
    const Kern::ResultTableModel* m = w->resultTable();
    QCOMPARE(m->rowCount(), 120);
    QHeaderView* header = w->grid()->horizontalHeader();
    auto clickHeading = [&](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    auto prices = [&] {
        QList<double> out;
        for (int r = 1; r <= m->rowCount(); ++r)
            out << Kern::GermanSortValue(m->cellText(r, 12));
        return out;
    };
    clickHeading(12); // first click: ascending
    QList<double> p = prices();
    QVERIFY(std::is_sorted(p.begin(), p.end()));
    QVERIFY(p.first() < p.last());
    clickHeading(12); // second: descending
    p = prices();
    QVERIFY(std::is_sorted(p.rbegin(), p.rend()));
    clickHeading(0); // third, another column: ascending again, the order of discovery
    for (int r = 1; r <= 120; ++r)
        QCOMPARE(m->cellText(r, 0), QString::number(r));
    // A click on a data cell sorts by its column: descending now.
    const QModelIndex cell = w->grid()->model()->index(2, 0);
    QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {},
                      w->grid()->visualRect(cell).center());
    QCOMPARE(m->cellText(1, 0), QStringLiteral("120"));
    QCOMPARE(m->cellText(0, 0), QStringLiteral("lfd. Nr."));
}

void TestSeite1::runningSearchCanBeStopped_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("start button") << "button";
    QTest::newRow("Esc in a box") << "Esc";
    QTest::newRow("closing the window") << "close";
}

// The window stays usable while a search runs: the running count shows, the start button stops
// it, and what was found up to then is kept.
void TestSeite1::runningSearchCanBeStopped() {
    QFETCH(QString, how);
    w->searchRunner()->setSearchFunction(
        [](const Kern::SearchRequest& request, Kern::SearchControl* control) {
            std::vector<Kern::FoundCombination> rows = Kern::SearchCombinations(request);
            rows.resize(2);
            control->found = 2;
            while (!control->cancel)
                QThread::msleep(1);
            return rows;
        });
    QTest::mouseClick(w->startButton(), Qt::LeftButton);
    QVERIFY(w->searchRunning());
    QCOMPARE(w->startButton()->text(), QStringLiteral("Abbrechen"));
    QTRY_COMPARE(w->resultLabel()->text(), QStringLiteral(" Ergebnis: 2 Kombinationen "));
    QTest::keyClick(w, Qt::Key_S, Qt::AltModifier); // starts nothing new
    QVERIFY(w->searchRunning());

    if (how == QLatin1String("close")) {
        w->close();
        QVERIFY(!w->searchRunning());
        return;
    }
    if (how == QLatin1String("Esc"))
        QTest::keyClick(w->lengthBox(2), Qt::Key_Escape);
    else
        QTest::mouseClick(w->startButton(), Qt::LeftButton);
    QTRY_VERIFY(!w->searchRunning());
    QCOMPARE(w->resultTable()->rowCount(), 2);
    const QStringList lines = w->resultLabel()->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral(" Ergebnis: 2 Kombinationen "));
    QVERIFY2(lines.value(1).startsWith(QStringLiteral(" (Abgebrochen nach ")),
             qPrintable(lines.value(1)));
    QCOMPARE(w->startButton()->text(), QStringLiteral("&Start Berechnung"));
}

void TestSeite1::toolbarDispatch_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("title");
    QTest::newRow("laden") << 1 << "Datei" << 1 << "Gleis-Tabelle laden";
    QTest::newRow("speichern") << 2 << "Datei" << 2 << "Gleis-Tabelle speichern";
    QTest::newRow("drucken") << 4 << "Datei" << 4 << "Drucken"; // nothing to print yet
    QTest::newRow("Rechner") << 6 << "MExtras" << 1 << "Rechner";
    QTest::newRow("Hilfe") << 10 << "Hilfe" << 1 << "Hilfe zum Schotterfix";
}

void TestSeite1::toolbarDispatch() {
    QFETCH(int, position);
    QFETCH(QString, menu);
    QFETCH(int, entry);
    QFETCH(QString, title);
    QStringList seen;
    QList<QSizeF> sizes;
    auto cancel = [&](QWidget* modal) {
        seen << modal->windowTitle();
        // Windows that follow the preset place themselves when they become active.
        (void)QTest::qWaitForWindowActive(modal);
        QCoreApplication::processEvents();
        sizes << Twips::outerSize(modal);
        modal->close();
    };
    TestHelp::answerModal(cancel);
    w->toolbarButton(position)->trigger();
    TestHelp::answerModal(cancel);
    QAction* a = menu == QLatin1String("Datei")     ? w->dateiEntry(entry)
                 : menu == QLatin1String("MExtras") ? w->extrasEntry(entry)
                                                    : w->hilfeEntry(entry);
    a->trigger();
    QCOMPARE(seen, (QStringList{title, title}));
    QCOMPARE(sizes[0], sizes[1]);
    if (position == 6) // the calculator follows the preset: 4290 x 6435 twips times 1.28
        QVERIFY(qAbs(sizes[0].width() - 4290 * 1.28) <= 15 &&
                qAbs(sizes[0].height() - 6435 * 1.28) <= 15);
    if (position <= 2) // cancelled: the caption shows the (empty) track-file name behind a blank
        QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix "));
}

void TestSeite1::tagThatIsNoNumberRunsNothing() {
    w->toolbarButton(1)->setProperty("Tag", QStringLiteral("x"));
    bool opened = false;
    TestHelp::answerModal(
        [&](QWidget* modal) {
            opened = true;
            modal->close();
        },
        300);
    w->toolbarButton(1)->trigger();
    QTest::qWait(400);
    QVERIFY(!opened);
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix"));
}

void TestSeite1::shortcutsReachTheirWindows() {
    const std::pair<QKeySequence, QString> keys[] = {
        {QKeySequence(Qt::Key_F1), QStringLiteral("Hilfe zum Schotterfix")},
        {QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("Drucken")}, // nothing to print yet
        {QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("Gleis-Tabelle speichern")}};
    for (const auto& [key, title] : keys) {
        QString seen;
        TestHelp::answerModal([&](QWidget* modal) {
            seen = modal->windowTitle();
            modal->close();
        });
        QTRY_VERIFY(!QApplication::activeModalWidget());
        w->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(w));
        QTest::keySequence(w, key);
        QCOMPARE(seen, title);
    }
}

void TestSeite1::closingWritesSettings_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("close box") << 0;
    QTest::newRow("Beenden") << 1;
    QTest::newRow("toolbar Ende") << 2;
}

void TestSeite1::closingWritesSettings() {
    QFETCH(int, how);
    QFile::remove(Kern::SettingsFilePath());
    w->setCurrentTrackFile(QStringLiteral("/tmp/Gleise, Märklin.sfr"));
    if (how == 0)
        w->close();
    else if (how == 1)
        w->dateiEntry(6)->trigger();
    else
        w->toolbarButton(8)->trigger();
    QVERIFY(!w->isVisible());
    QFile f(Kern::SettingsFilePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QStringLiteral(" 1 \r\n/tmp/Gleise, Märklin.sfr\r\n").toUtf8());
}

QTEST_MAIN(TestSeite1)
#include "tst_seite1.moc"
