#include "Hilfe_Form.h"
#include "accessibility.h"
#include "kern.h"
#include "modalhelper.h"
#include "twips.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTransform>
#include <QtTest>

// What one opening of the help window showed; places and sizes in twips.
struct Opening {
    QPointer<Hilfe_Form> window;
    QRectF outer;
    QRectF okButton;
    double fontSize = 0;
    bool fixedSize = false;
};

class TstHilfeForm : public QObject {
    Q_OBJECT

    QWidget m_main;

    // Opens the help window as the main window does and closes it with "&schließen".
    Opening open(double preset) {
        Opening seen;
        TestHelp::answerModalOf<Hilfe_Form>([&seen](Hilfe_Form* w) {
            if (QTest::qWaitForWindowActive(w)) {
                const double twips = Twips::fromPx(1, w);
                seen = {w, QRectF(Twips::outerPos(w), Twips::outerSize(w)),
                        QTransform::fromScale(twips, twips).mapRect(QRectF(w->cmdOK->geometry())),
                        w->Text1->font().pointSizeF(), w->minimumSize() == w->maximumSize()};
                QTest::mouseClick(w->cmdOK, Qt::LeftButton);
            }
            if (w->isVisible()) { // not closed by the button: noted, and never left waiting
                seen.window = nullptr;
                w->close();
            }
        });
        Hilfe_Form::showModal(Kern::ScreenScale{preset}, &m_main);
        return seen;
    }

    // Within a pixel (15 twips) of the design rectangle times the factors.
    static bool scaledNear(const QRectF& seen, const QRectF& design, double sx, double sy) {
        const QRectF want = QTransform::fromScale(sx, sy).mapRect(design);
        return qAbs(seen.left() - want.left()) <= 15 && qAbs(seen.top() - want.top()) <= 15 &&
               qAbs(seen.right() - want.right()) <= 15 && qAbs(seen.bottom() - want.bottom()) <= 15;
    }

private slots:
    void initTestCase() {
        m_main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main));
    }

    // The paragraphs, one a line, wrapped to the box; the reader can scroll and select, but not
    // change the text.
    void helpText() {
        const QStringList lines = Hilfe_Form::helpText().split(QStringLiteral("\r\n"));

        Hilfe_Form form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Text1->toPlainText().split(QLatin1Char('\n')), lines);
        QCOMPARE(form.Text1->horizontalScrollBar()->maximum(), 0);
        form.Text1->setFocus();
        QTest::keyClicks(form.Text1, QStringLiteral("x"));
        QTest::keyClick(form.Text1, Qt::Key_Backspace);
        QCOMPARE(form.Text1->toPlainText().split(QLatin1Char('\n')), lines);
        QCOMPARE(unnamedOrSharedControls(&form), QStringList());
    }

    // The window is shown again, not built anew, at the preset's factors; back at the design
    // preset neither the font has shrunk nor a control moved.
    void placementFollowsPreset_data() {
        QTest::addColumn<double>("preset");
        QTest::addColumn<double>("sx");
        QTest::addColumn<double>("sy");
        QTest::newRow("1280 x 800, unequal factors") << 2.0 << 1.6 << 1.333333;
        QTest::newRow("1376 x 768, font by the height") << 5.0 << 1.72 << 1.28;
    }
    void placementFollowsPreset() {
        QFETCH(double, preset);
        QFETCH(double, sx);
        QFETCH(double, sy);
        const Opening design = open(0);
        QVERIFY(scaledNear(design.outer, QRectF(4005, 1605, 6000, 5625), 1, 1));
        const Opening seen = open(preset);
        QVERIFY(seen.window && seen.window == design.window);
        QVERIFY(seen.fixedSize);
        QVERIFY(scaledNear(seen.outer, design.outer, sx, sy));
        QVERIFY(scaledNear(seen.okButton, design.okButton, sx, sy));
        QVERIFY(qAbs(seen.fontSize - design.fontSize * std::min(sx, sy)) < 0.01);
        const Opening back = open(0);
        QCOMPARE(back.fontSize, design.fontSize);
        QCOMPARE(back.okButton, design.okButton);
        QCOMPARE(back.outer, design.outer);
    }
};

QTEST_MAIN(TstHilfeForm)
#include "tst_hilfeform.moc"
