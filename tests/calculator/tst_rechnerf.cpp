// The calculator window: every key by mouse and keyboard, the clipboard hand-over, the spinner,
// what a screen reader finds and printing the tape. What the keys compute is the engine's,
// tested in tst_calculatorengine.
#include "RechnerF.h"
#include "accessibility.h"
#include "datarow.h"
#include "kern.h"
#include "modalhelper.h"
#include "tapelist.h"
#include "tapemodel.h"
#include "tapeview.h"
#include "updowncontrol.h"

#include <QtPrintSupport>
#include <QtTest>

namespace {

template <class T = QWidget> T* control(const QWidget* w, const char* name, int index = -1) {
    for (T* c : w->findChildren<T*>(QString::fromLatin1(name)))
        if (index < 0 || c->property("index").toInt() == index)
            return c;
    return nullptr;
}

QString tapeOf(const QWidget* w) {
    return shortTape(control<TapeList>(w, "Bon")->tape()->lines());
}

QString textOf(const QWidget* w, const char* name) {
    return control<QLabel>(w, name)->text().trimmed();
}

// Keys separated by blanks, clicked or typed ("c", "e", ",", Enter); "DM", "EU" and "SW" are the
// conversion buttons, reached with Tab and pressed with the space bar as any focused key is.
void press(RechnerF& dlg, const QString& keys, bool typed) {
    for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int conversion = QStringList{"DM", "EU", "SW"}.indexOf(k);
        const int op = QStringLiteral("/*-+%=").indexOf(k);
        if (conversion >= 0) {
            QWidget* button = control(&dlg, "DM_Euro", conversion);
            for (int i = 0; i < 30 && dlg.focusWidget() != button; ++i)
                QTest::keyClick(dlg.focusWidget(), Qt::Key_Tab);
            QTest::keyClick(dlg.focusWidget(), Qt::Key_Space);
        } else if (!typed) {
            QTest::mouseClick(k.at(0).isDigit()         ? control(&dlg, "Taste", k.toInt())
                              : k == QLatin1String(".") ? control(&dlg, "Taste", 10)
                              : op >= 0                 ? control(&dlg, "Operator", op)
                                        : control(&dlg, "C_Taste", k == QLatin1String("E")),
                              Qt::LeftButton);
        } else if (k == QLatin1String("=")) {
            QTest::keyClick(dlg.focusWidget(), Qt::Key_Enter);
        } else {
            const char c = k == QLatin1String(".") ? ',' : k.toLower().at(0).toLatin1();
            QTest::keyClick(dlg.focusWidget(), c);
        }
    }
}

} // namespace

class TestRechnerF : public QObject {
    Q_OBJECT
private slots:
    // Clicked or typed: the same; then closing by a button or the conversion field leaves its
    // number on the clipboard.
    void keys_data() {
        // closeBy: EndeButton(0) "ohne Übernahme", (1) "mit Übernahme", or the conversion field
        dataColumns<QString, QString, QString, QString, int, QString>(
            {"keys", "tape", "display", "field", "closeBy", "clipboard"});
        // Between them the rows use every key of the window.
        dataRow("division, result carried on, transfer",
                "1 0 / 4 = * 3 =", "10 /|4 |2,50 =|rule|2,5 *|3|7,50 =|rule", "7,5", "", 1, "7,5");
        dataRow("clear, percent off, no transfer",
                "7 8 9 + C 2 0 0 - 1 0 % =", "200 -|10 %|180,00 =|rule", "180", "", 0, "");
        dataRow("clear entry, comma, empty conversion field",
                "5 + 3 E 6 . 5 =", "5 +|6,5|11,50 =|rule", "11,5", "", 2, "");
        dataRow("Switch, transfer of the number before", "7 / 2 = DM SW", "7 /|2 |3,50 =|rule",
                "6,85", "Euro  3,5", 1, "3,5");
        dataRow("conversion field keeps its result", "1 0 EU 5", "", "105", "", 2, "5,11");
    }
    void keys() {
        QFETCH(QString, keys);
        QFETCH(QString, tape);
        QFETCH(QString, display);
        QFETCH(QString, field);
        QFETCH(int, closeBy);
        QFETCH(QString, clipboard);
        for (const bool typed : {false, true}) {
            QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
            auto dlg = open();
            press(*dlg, keys, typed);
            QCOMPARE(tapeOf(dlg.get()), tape);
            QCOMPARE(textOf(dlg.get(), "Ausgabe"), display);
            QCOMPARE(control<QLabel>(dlg.get(), "DMEURO")->text(), field);
            QCOMPARE(control(dlg.get(), "DM_Euro", 2)->isEnabled(), !field.isEmpty());
            QVERIFY2(dlg->isVisible(), "Enter or a key closed the calculator");
            QTest::mouseClick(closeBy < 2 ? control(dlg.get(), "EndeButton", closeBy)
                                          : control(dlg.get(), "DMEURO"),
                              Qt::LeftButton);
            QVERIFY(!dlg->isVisible());
            QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        }
    }

    // The spinner's places, 0 to 6, show beside it and go to the engine.
    void spinner() {
        auto dlg = open();
        auto* updown = control<UpDownControl>(dlg.get(), "UpDown1");
        for (const int quarter : {1, 1, 1, 1, 1, 3}) // from two up past six, then one down
            QTest::mouseClick(updown, Qt::LeftButton, {},
                              QPoint(updown->width() / 2, updown->height() * quarter / 4));
        QCOMPARE(textOf(dlg.get(), "Komma"), QStringLiteral("5"));
        press(*dlg, QStringLiteral("2 / 3 ="), false);
        QCOMPARE(tapeOf(dlg.get()), QStringLiteral("2 /|3 |0,66667 =|rule"));
    }

    // What a screen reader finds: every control named on its own, the keys and the display
    // without their padding, and the tape line by line.
    void readableByScreenReader() {
        auto dlg = open();
        QCOMPARE(unnamedOrSharedControls(dlg.get()), QStringList());
        press(*dlg, QStringLiteral("1 2 * 3 ="), false);
        QCOMPARE(accessibleName(control(dlg.get(), "Ausgabe")), QStringLiteral("36"));
        QCOMPARE(accessibleName(control(dlg.get(), "Operator", 1)), QStringLiteral("mal"));
        auto* tape = QAccessible::queryAccessibleInterface(control(dlg.get(), "Bon"));
        QStringList lines;
        for (int i = 0; i < tape->childCount(); ++i)
            lines << tape->child(i)->text(QAccessible::Name);
        QCOMPARE(lines.join(QLatin1Char('|')), QStringLiteral("12 *|3|36,00 =|") + TapeRule);
    }

    // The tape on paper, a long one over several pages with every line on its page, in order; a
    // missing or failing printer is told.
    void printing() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("bon.pdf"));
        auto dlg = open();
        QString target = pdf; // empty: no printer
        int printersAsked = 0;
        dlg->setPrinterFactory([&] {
            ++printersAsked;
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFileName(target); // a PDF file by its suffix
            printer->setFullPage(true); // a line past the printable area is one past the paper
            return target.isEmpty() ? nullptr : std::move(printer);
        });
        dlg->MDrucken_Click(); // a fresh tape: nothing printed, nothing said
        QCOMPARE(printersAsked, 0);
        for (int i = 1; i <= 150; ++i) {
            for (const QChar digit : QString::number(i))
                dlg->Taste_Click(digit);
            dlg->Taste_Click(i < 150 ? QStringLiteral("+") : QStringLiteral("="));
        }
        // Alt+D is the menu's, not the button "&DM"'s: the menu bar comes first.
        QTest::keyClick(dlg.get(), Qt::Key_D, Qt::AltModifier);
        QCOMPARE(printersAsked, 1);

        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        // pdftotext leaves out what lies below a page's bottom edge.
        const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split('\f');
        // Two pages or more, none blank, and the end after the last one.
        QVERIFY(pages.size() > 2);
        QCOMPARE(pages.filter(QRegularExpression(QStringLiteral("^\\s*$"))).size(), 1);
        QCOMPARE(pages.join(' ').simplified(),
                 control<TapeList>(dlg.get(), "Bon")->tape()->lines().join(' ').simplified());

        // No printer, then one whose output cannot be written.
        for (const QString& broken : {QString(), QStringLiteral("/nonexistent-folder/x.pdf")}) {
            target = broken;
            QString seen;
            TestHelp::noteMessage(&seen);
            if (!broken.isEmpty())
                QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
            dlg->MDrucken_Click();
            QCOMPARE(seen, QStringLiteral("Drucken|Der Druck konnte nicht ausgeführt werden."));
        }
    }

private:
    std::unique_ptr<RechnerF> open() {
        auto dlg = std::make_unique<RechnerF>(Kern::ScreenScale{1});
        dlg->show();
        (void)QTest::qWaitForWindowActive(dlg.get()); // the opening itself comes with show()
        return dlg;
    }
};

QTEST_MAIN(TestRechnerF)
#include "tst_rechnerf.moc"
