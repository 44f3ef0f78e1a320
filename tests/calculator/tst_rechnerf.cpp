#include "RechnerF.h"
#include "kern.h"
#include "tapelist.h"
#include "tapetext.h"
#include "twips.h"
#include "updowncontrol.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

template <class T = QWidget> T* control(const QWidget* w, const QString& name, int index = -1) {
    for (T* c : w->findChildren<T*>(name))
        if (index < 0 || c->property("index").toInt() == index)
            return c;
    return nullptr;
}

QPushButton* keyButton(const QWidget* w, QChar k) {
    if (k.isDigit())
        return control<QPushButton>(w, QStringLiteral("Taste"), k.digitValue());
    if (k == QLatin1Char('.'))
        return control<QPushButton>(w, QStringLiteral("Taste"), 10);
    if (k == QLatin1Char('C') || k == QLatin1Char('E'))
        return control<QPushButton>(w, QStringLiteral("C_Taste"), k == QLatin1Char('E'));
    const int op = QStringLiteral("/*-+%=").indexOf(k);
    return op < 0 ? nullptr : control<QPushButton>(w, QStringLiteral("Operator"), op);
}

QString tapeOf(const QWidget* w) {
    return shortTape(control<TapeList>(w, QStringLiteral("Bon"))->lines());
}

QString textOf(const QWidget* w, const char* name) {
    return control<QLabel>(w, QString::fromLatin1(name))->text().trimmed();
}

// Answers the next message box and notes "title/text" in *log.
void answerMessage(QStringList* log) {
    QTimer::singleShot(0, [log] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *log << box->windowTitle() + QLatin1Char('/') + box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
}

// The offscreen platform has no window system to hand size limits to and says so at every
// change of the fixed window size; nothing else is kept from the log.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints")))
        previousHandler(type, context, message);
}

enum class Input { Click, Type, SpaceBar };

// A key sequence of the table: single characters, "DM", "EU", "SW" for the three conversion
// buttons (clicked, or else reached with Tab and pressed with the space bar), "x" for a key the
// calculator ignores.
void press(RechnerF& dlg, const QString& keys, Input input) {
    for (const QString& k : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int conversion = QStringList{"DM", "EU", "SW"}.indexOf(k);
        if (conversion >= 0) {
            QWidget* button = control(&dlg, "DM_Euro", conversion);
            if (input == Input::Click) {
                QTest::mouseClick(button, Qt::LeftButton);
                continue;
            }
            // Without a mouse: Tab to the button, then the space bar.
            for (int i = 0; i < 30 && dlg.focusWidget() != button; ++i)
                QTest::keyClick(dlg.focusWidget(), Qt::Key_Tab);
            QTest::keyClick(dlg.focusWidget(), Qt::Key_Space);
            continue;
        }
        QPushButton* button = keyButton(&dlg, k.at(0));
        if (input == Input::Type || !button) {
            QWidget* target = dlg.focusWidget() ? dlg.focusWidget() : &dlg;
            if (k == QLatin1String("="))
                QTest::keyClick(target, Qt::Key_Enter);
            else if (k == QLatin1String("C") || k == QLatin1String("E"))
                QTest::keyClick(target, k.toLower().at(0).toLatin1());
            else if (k == QLatin1String("."))
                QTest::keyClick(target, ',');
            else
                QTest::keyClick(target, k.at(0).toLatin1());
        } else if (input == Input::Click) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Space);
        }
    }
}

} // namespace

class TestRechnerF : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(quietHandler); }
    void init();
    void opening();
    void keys_data();
    void keys();
    void clipboard_data();
    void clipboard();
    void spinnerSetsTheNextRounding();
    void tapeKeepsItsLastLineInView();
    void placement_data();
    void placement();
    void printing();
    void messages();

private:
    std::unique_ptr<RechnerF> openCalculator();
    double m_preset = 1;
};

void TestRechnerF::init() {
    m_preset = 1;
}

std::unique_ptr<RechnerF> TestRechnerF::openCalculator() {
    auto dlg = std::make_unique<RechnerF>(Kern::ScreenScale{m_preset});
    dlg->show();
    if (!QTest::qWaitForWindowActive(dlg.get()))
        dlg->Form_Activate(); // a platform that never activates still gets the opening
    return dlg;
}

void TestRechnerF::opening() {
    auto dlg = openCalculator();
    QCOMPARE(textOf(dlg.get(), "Ausgabe"), QStringLiteral("0"));
    QCOMPARE(tapeOf(dlg.get()), QString());
    const QFontInfo tapeFont(control(dlg.get(), "Bon")->font());
    QVERIFY(tapeFont.fixedPitch());
    if (QFontDatabase::hasFamily(QStringLiteral("Liberation Mono")))
        QCOMPARE(tapeFont.family(), QStringLiteral("Liberation Mono"));
    QCOMPARE(textOf(dlg.get(), "Komma"), QStringLiteral("2"));
    QVERIFY(!control(dlg.get(), "DM_Euro", 2)->isEnabled());
    QCOMPARE(dlg->focusWidget(), control(dlg.get(), "Operator", 5));
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Rechner"));
}

void TestRechnerF::keys_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("tape");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("field");
    const auto row = [](const char* name, const char* keys, const char* tape, const char* display,
                        const char* field = "") {
        QTest::newRow(name) << keys << tape << display << field;
    };
    // Between them the rows use every key of the window.
    row("division", "1 0 / 3 =", "10 /|3 |3,33 =|rule", "3,33");
    row("percent", "2 0 0 + 1 0 % =", "200 +|10 %|220,00 =|rule", "220");
    row("clear entry, decimal comma", "5 + 3 E 4 . 5 =", "5 +|4,5|9,50 =|rule", "9,5");
    row("clear", "5 + 3 = C 7 8 9 6", "", "7896");
    row("result carried on", "5 - 3 = * 2 =", "5 -|3|2,00 =|rule|2 *|2|4,00 =|rule", "4");
    row("conversion, Switch", "1 0 DM SW", "", "19,56", "Euro  10");
    row("a key blanks the conversion", "1 0 EU 5", "", "105");
    row("conversion of a result", "7 / 2 = DM", "7 /|2 |3,50 =|rule", "3,5", "DM    6,85");
}

// Clicked, typed ("c", "e", ",", Enter) or with the space bar on the focused key: the same tape.
void TestRechnerF::keys() {
    QFETCH(QString, keys);
    QFETCH(QString, tape);
    QFETCH(QString, display);
    QFETCH(QString, field);
    for (const Input input : {Input::Click, Input::Type, Input::SpaceBar}) {
        auto dlg = openCalculator();
        press(*dlg, keys, input);
        QCOMPARE(tapeOf(dlg.get()), tape);
        QCOMPARE(textOf(dlg.get(), "Ausgabe"), display);
        QCOMPARE(control<QLabel>(dlg.get(), "DMEURO")->text(), field);
        QCOMPARE(control(dlg.get(), "DM_Euro", 2)->isEnabled(), !field.isEmpty());
        QVERIFY2(dlg->isVisible(), "Enter or a key closed the calculator");
    }
}

void TestRechnerF::clipboard_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("closeBy");
    QTest::addColumn<QString>("clipboard");
    const auto row = [](const char* name, const char* keys, const char* closeBy,
                        const char* clipboard) {
        QTest::newRow(name) << keys << closeBy << QString::fromUtf8(clipboard);
    };
    row("with transfer: plain text", "1 0 / 4 =", "EndeButton1", "2,5");
    row("without transfer: empty", "1 0 / 4 =", "EndeButton0", "");
    row("after Switch: the number shown before", "1 0 DM SW", "EndeButton1", "10");
    row("conversion field right after opening", "", "DMEURO", "");
    row("conversion field keeps its result", "1 0 DM 5", "DMEURO", "19,56");
}

void TestRechnerF::clipboard() {
    QFETCH(QString, keys);
    QFETCH(QString, closeBy);
    QFETCH(QString, clipboard);
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    auto dlg = openCalculator();
    press(*dlg, keys, Input::Click);
    QWidget* closer = closeBy == QLatin1String("DMEURO")
                          ? control(dlg.get(), closeBy)
                          : control(dlg.get(), "EndeButton", closeBy.right(1).toInt());
    QTest::mouseClick(closer, Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
}

void TestRechnerF::spinnerSetsTheNextRounding() {
    auto dlg = openCalculator();
    auto* updown = control<UpDownControl>(dlg.get(), "UpDown1");
    const QPoint up(updown->width() / 2, updown->height() / 4);
    const QPoint down(updown->width() / 2, updown->height() * 3 / 4);
    press(*dlg, QStringLiteral("1 0 DM"), Input::Click);
    QTest::mouseClick(updown, Qt::LeftButton, {}, up);
    QTest::mouseClick(updown, Qt::LeftButton, {}, up);
    QCOMPARE(textOf(dlg.get(), "Komma"), QStringLiteral("4"));
    QCOMPARE(control<QLabel>(dlg.get(), "DMEURO")->text(), QString());
    QVERIFY(!control(dlg.get(), "DM_Euro", 2)->isEnabled());
    QCOMPARE(textOf(dlg.get(), "Ausgabe"), QStringLiteral("10")); // nothing redrawn
    press(*dlg, QStringLiteral("C 2 / 3 ="), Input::Click);
    QCOMPARE(tapeOf(dlg.get()), QStringLiteral("2 /|3 |0,6667 =|rule"));

    for (int i = 0; i < 8; ++i)
        QTest::mouseClick(updown, Qt::LeftButton, {}, down);
    QCOMPARE(textOf(dlg.get(), "Komma"), QStringLiteral("0"));
    press(*dlg, QStringLiteral("2 / 3 ="), Input::Click);
    QVERIFY(tapeOf(dlg.get()).endsWith(QLatin1String("|1 =|rule")));
}

void TestRechnerF::tapeKeepsItsLastLineInView() {
    auto dlg = openCalculator();
    auto* bon = control<TapeList>(dlg.get(), "Bon");
    const QScrollBar* bar = bon->verticalScrollBar();
    for (int i = 0; i < 30; ++i)
        press(*dlg, QStringLiteral("1 +"), Input::Click);
    QCOMPARE(bon->count(), 30);
    QCOMPARE(bon->currentRow(), 29);
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    // The user may look back through it; the next line brings the end into view again.
    bon->setFocus();
    QTest::keyClick(bon, Qt::Key_Home);
    QCOMPARE(bon->currentRow(), 0);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(bon, Qt::Key_PageDown);
    QTest::mouseClick(bon->viewport(), Qt::LeftButton, {},
                      QPoint(5, bon->fontMetrics().height() * 3 / 2));
    QCOMPARE(bon->currentRow(), bar->value() + 1);
    press(*dlg, QStringLiteral("1 ="), Input::Click);
    QCOMPARE(bon->currentRow(), 32);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestRechnerF::placement_data() {
    QTest::addColumn<int>("preset");
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::newRow("1024 x 768") << 1 << 1.28 << 1.28;
    QTest::newRow("1920 x 1080") << 11 << 2.4 << 1.8;
}

void TestRechnerF::placement() {
    QFETCH(int, preset);
    QFETCH(double, sx);
    QFETCH(double, sy);
    m_preset = preset;
    auto dlg = openCalculator();
    const double pixel = Twips::fromPx(1, dlg.get());
    const QSizeF size = Twips::outerSize(dlg.get());
    const QPointF pos = Twips::outerPos(dlg.get());
    QVERIFY2(qAbs(size.width() - 4290 * sx) <= pixel, qPrintable(QString::number(size.width())));
    QVERIFY2(qAbs(size.height() - 6435 * sy) <= pixel, qPrintable(QString::number(size.height())));
    QVERIFY2(qAbs(pos.x() - 4005 * sx) <= pixel, qPrintable(QString::number(pos.x())));
    QVERIFY2(qAbs(pos.y() - 1605 * sy) <= pixel, qPrintable(QString::number(pos.y())));
    // The controls followed the window: the display keeps its share of the width and the
    // bottom row of keys stays at the bottom (the window frame is not scaled, hence the slack).
    const QWidget* display = control(dlg.get(), "Ausgabe");
    const QWidget* client = display->parentWidget();
    QVERIFY(qAbs(double(display->width()) / client->width() - 4000.0 / 4200) < 0.015);
    const QWidget* equals = control(dlg.get(), "Operator", 5);
    QVERIFY(equals->geometry().bottom() < client->height());
    QVERIFY(equals->geometry().bottom() > client->height() * 0.9);
    QVERIFY(display->font().pointSizeF() > 13.5);
}

void TestRechnerF::printing() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("bon.pdf"));
    int printersAsked = 0;
    auto dlg = openCalculator();
    dlg->setPrinterFactory([&] {
        ++printersAsked;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return printer;
    });
    QAction* print =
        control<QMenuBar>(dlg.get(), QString())->findChild<QAction*>(QStringLiteral("MDrucken"));
    QVERIFY(print);
    print->trigger(); // the blank tape of a fresh window: nothing printed, nothing said
    QCOMPARE(printersAsked, 0);

    press(*dlg, QStringLiteral("1 2 3 4 + 5 , 5 ="), Input::Click);
    // Alt+D is the menu's, not the button "&DM"'s: the menu bar comes first.
    QTest::keyClick(dlg.get(), Qt::Key_D, Qt::AltModifier);
    QCOMPARE(printersAsked, 1);
    QCOMPARE(control<QLabel>(dlg.get(), "DMEURO")->text(), QString());
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished());
    QStringList lines = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    QCOMPARE(lines.mid(0, 4),
             (QStringList{QStringLiteral("1234 +"), QStringLiteral("5,5"),
                          QStringLiteral("1.239,50 ="), QString(30, QLatin1Char('-'))}));
    // On paper in the tape's face.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    QVERIFY(fonts.waitForFinished());
    const QString family = QFontInfo(control(dlg.get(), "Bon")->font()).family();
    QVERIFY2(QString::fromUtf8(fonts.readAllStandardOutput())
                 .contains(QString(family).remove(QLatin1Char(' '))),
             qPrintable(family));
}

void TestRechnerF::messages() {
    auto dlg = openCalculator();
    QStringList log;
    dlg->setPrinterFactory([] { return std::unique_ptr<QPrinter>(); }); // no printer installed
    press(*dlg, QStringLiteral("5 ="), Input::Click);
    answerMessage(&log);
    dlg->MDrucken_Click();

    // A printer that cannot write its output fails in the middle of the job.
    dlg->setPrinterFactory([] {
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QStringLiteral("/nonexistent-folder/bon.pdf"));
        return printer;
    });
    answerMessage(&log);
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    dlg->MDrucken_Click();

    answerMessage(&log);
    dlg->MInfo_Click();

    QCOMPARE(log,
             (QStringList{QStringLiteral("Drucken/Der Druck konnte nicht ausgeführt werden."),
                          QStringLiteral("Drucken/Der Druck konnte nicht ausgeführt werden."),
                          QStringLiteral("Info zum Taschenrechner/Copyright © 2014 Schotterfix")}));
    QVERIFY(dlg->isVisible());
}

QTEST_MAIN(TestRechnerF)
#include "tst_rechnerf.moc"
