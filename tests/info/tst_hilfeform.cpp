#include "Hilfe_Form.h"
#include "kern.h"
#include "twips.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// What one opening of the help window showed.
struct Opening {
    QPointer<Hilfe_Form> window;
    QRectF outer;    // twips
    QRectF okButton; // twips, inside the window
    QRectF text;     // Text1 in twips, inside Frame1
    double fontSize = 0;
    bool fixedSize = false;
    bool hiddenAfterClose = false;
};

class TstHilfeForm : public QObject {
    Q_OBJECT

    QWidget* m_main = nullptr;
    QPointer<Hilfe_Form> m_first;

    static QRectF inTwips(const QRect& r, const QWidget* w) {
        return QRectF(Twips::fromPx(r.x(), w), Twips::fromPx(r.y(), w), Twips::fromPx(r.width(), w),
                      Twips::fromPx(r.height(), w));
    }

    static bool near(const QRectF& a, const QRectF& b, double tolerance) {
        return qAbs(a.left() - b.left()) <= tolerance && qAbs(a.top() - b.top()) <= tolerance &&
               qAbs(a.width() - b.width()) <= tolerance &&
               qAbs(a.height() - b.height()) <= tolerance;
    }

    // Opens the help window as the main window does and closes it with "&schließen".
    Opening open(double preset) {
        Opening seen;
        QTimer::singleShot(0, this, [&seen] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* w = qobject_cast<Hilfe_Form*>(modal);
            if (w && QTest::qWaitForWindowActive(w)) {
                seen.window = w;
                seen.outer = QRectF(Twips::outerPos(w), Twips::outerSize(w));
                seen.okButton = inTwips(w->cmdOK->geometry(), w);
                seen.text = inTwips(w->Text1->geometry(), w);
                seen.fontSize = w->Text1->font().pointSizeF();
                seen.fixedSize = w->minimumSize() == w->maximumSize();
                QTest::mouseClick(w->cmdOK, Qt::LeftButton);
            } else if (modal) {
                modal->close(); // never leave the test waiting
            }
        });
        Hilfe_Form::showModal(Kern::ScreenScale{preset}, m_main);
        seen.hiddenAfterClose = seen.window && !seen.window->isVisible();
        return seen;
    }

private slots:
    void initTestCase() {
        m_main = new QWidget;
        m_main->setObjectName(QStringLiteral("Seite1"));
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main));
    }
    void cleanupTestCase() { delete m_main; }

    void helpTextParagraphs() {
        const QStringList paragraphs = {
            "Dieses Programm dient zur Ermittlung von Gleisarten verschiedenster Länge um eine "
            "vorgegebene Strecke zu erreichen.",
            "Zur Vereinfachung können die Gleisarten und -größen für verschiedene Hersteller in "
            "Dateien abgelegt und somit geladen und gespeichert werden.",
            "Mit Hilfe der Häkchen (Checkbox) können die Gleise gewählt werden, die zur Berechnung "
            "herangezogen werden.",
            "Über die Felder 'Anzahl Min. / Max.' kann angegeben werden, ob bestimmte Gleise mit "
            "einer vorgegeben Stückzahl berücksichtigt werden sollen.",
            "Wenn sie zu den einzelnen Gleisen Ihre Preise angeben, werden die Gesamtpreise der "
            "einzelnen Kombinationen dargestellt.",
            "Die Felder 'Max. Abweichungen' dienen zur Angabe, um wieviel mm die gewünschte "
            "Streckenlänge höchstens unter- oder überschritten werden darf.",
            "Ein Mausklick in den einzelnen Spaltenköpfen der Tabelle sortiert die einzelnen "
            "Zeilen entsprechend der gewählten Spalte; ein wiederholter Mausklick kehr die "
            "Sortierung um (auf-/absteigend wechselnd).",
            "In Abhängigkeit von der gewünschten Sortierung können die Kombinationen "
            "selbstverständlich auch ausgedruckt werden, wobei hier eine Druckvorschau "
            "voreingestellt ist.",
            "Und nun viel Spaß beim Rechnen.",
        };
        // One empty line before the first paragraph and between each two.
        QStringList expected;
        for (const QString& paragraph : paragraphs)
            expected << QString() << paragraph;
        QCOMPARE(Hilfe_Form::HelpText(), expected.join(QStringLiteral("\r\n")));

        Hilfe_Form form;
        QCOMPARE(form.Text1->toPlainText().split(QLatin1Char('\n')), expected);
        // The reader can scroll and select, but not change the text.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Text1->setFocus();
        QTest::keyClicks(form.Text1, QStringLiteral("x"));
        QTest::keyClick(form.Text1, Qt::Key_Backspace);
        QCOMPARE(form.Text1->toPlainText().split(QLatin1Char('\n')), expected);
    }

    void placementFollowsPreset_data() {
        QTest::addColumn<double>("preset");
        QTest::addColumn<double>("sx");
        QTest::addColumn<double>("sy");
        QTest::newRow("800 x 600, first opening") << 0.0 << 1.0 << 1.0;
        QTest::newRow("1920 x 1080") << 11.0 << 2.4 << 1.8;
        QTest::newRow("1280 x 800, unequal factors") << 2.0 << 1.6 << 1.333333;
        QTest::newRow("800 x 600 again") << 0.0 << 1.0 << 1.0;
    }
    void placementFollowsPreset() {
        QFETCH(double, preset);
        QFETCH(double, sx);
        QFETCH(double, sy);
        const Opening seen = open(preset);
        QVERIFY(seen.window);
        if (!m_first)
            m_first = seen.window;
        QCOMPARE(seen.window.data(), m_first.data()); // shown again, not built again
        QVERIFY(seen.hiddenAfterClose);
        QVERIFY(seen.fixedSize);

        const double pixel = Twips::fromPx(1, seen.window);
        const QRectF expected(4005 * sx, 1605 * sy, 6000 * sx, 5625 * sy);
        QVERIFY2(near(seen.outer, expected, pixel),
                 qPrintable(QStringLiteral("window at %1, %2 size %3 x %4 twips")
                                .arg(seen.outer.left())
                                .arg(seen.outer.top())
                                .arg(seen.outer.width())
                                .arg(seen.outer.height())));
        // The controls follow the window.
        QVERIFY(near(seen.okButton, QRectF(4590 * sx, 4830 * sy, 1275 * sx, 345 * sy), pixel));
    }

    // Every opening scales from the design layout: switching between presets whose factors
    // differ must neither shrink the font nor shift the controls.
    void switchingPresetsDoesNotDrift() {
        const Opening design = open(0);
        QVERIFY(design.fontSize > 0);
        const Opening wide = open(2);
        QVERIFY(qAbs(wide.fontSize - design.fontSize * 1.333333) < 0.01);
        open(11);
        open(5);
        const Opening back = open(0);
        QCOMPARE(back.fontSize, design.fontSize);
        QCOMPARE(back.okButton, design.okButton);
        QCOMPARE(back.text, design.text);
        QCOMPARE(back.outer, design.outer);
    }
};

QTEST_MAIN(TstHilfeForm)
#include "tst_hilfeform.moc"
