#include "classicframe.h"
#include "clsResize.h"
#include "controlaccess.h"
#include "linecontrol.h"
#include "textfit.h"
#include "twips.h"
#include "windowplacement.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMap>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <cmath>
#include <memory>

using ControlAccess::Result;
Q_DECLARE_METATYPE(Result)

namespace {

QWidget* addWidget(QWidget* w, QWidget* parent, const char* name, QRect px, int index = 0) {
    w->setParent(parent);
    w->setObjectName(QString::fromLatin1(name));
    if (index)
        w->setProperty("index", index);
    w->setGeometry(px);
    return w;
}

void setPoints(QWidget* w, double points) {
    QFont font = w->font();
    font.setPointSizeF(points);
    w->setFont(font);
}

// A window with every kind of control the engine must tell apart, laid out in pixels.
struct TestForm {
    QMainWindow window;
    QWidget* label1;
    QLineEdit* text1;
    QComboBox* combo1;
    LineControl* line1;
    LineControl* line2;
    QWidget* label41Single;
    QList<QWidget*> untouchable;
    QMenu* menu;
    QMap<QWidget*, QRect> design;

    TestForm() {
        auto* central = new QWidget; // unnamed: searched, not resized
        window.setCentralWidget(central);
        menu = window.menuBar()->addMenu("&Datei");
        menu->setObjectName("MDateiMenu");
        QAction* entry = menu->addAction("Eintrag");
        entry->setObjectName("MDatei");
        entry->setProperty("index", 1);
        label1 = addWidget(new QLabel("Länge"), central, "Label1", {12, 9, 120, 21});
        setPoints(label1, 8.25);
        text1 = static_cast<QLineEdit*>(
            addWidget(new QLineEdit("1000"), central, "Text1", {12, 36, 200, 27}));
        setPoints(text1, 10);
        combo1 = new QComboBox;
        combo1->addItems({"0,0", "0,5"});
        addWidget(combo1, central, "Combo1", {12, 75, 150, combo1->sizeHint().height()});
        line1 = new LineControl(central);
        line1->setObjectName("Line1");
        line1->setLine(150, 1800, 3375, 1800);
        auto* frame = addWidget(new QGroupBox("Gleiswahl"), central, "Frame1", {250, 9, 330, 210});
        addWidget(new QLineEdit, frame, "Text2", {15, 60, 150, 24});
        line2 = new LineControl(frame);
        line2->setObjectName("Line2");
        line2->setLine(2700, 450, 2700, 2700);
        addWidget(new QLabel("1"), central, "Label4", {12, 240, 90, 20}, 1);
        label41Single = addWidget(new QLabel("x"), central, "Label41", {120, 240, 90, 20});
        untouchable = {label41Single, addWidget(new QLabel, central, "", {400, 300, 50, 20}),
                       addWidget(new QLabel, central, "qt_helper", {460, 300, 50, 20})};
        for (QWidget* w : central->findChildren<QWidget*>())
            if (!qobject_cast<LineControl*>(w))
                design.insert(w, w->geometry());
        window.show();
        setOuter(625, 500);
    }
    void setOuter(double widthPx, double heightPx) {
        Twips::setOuterSize(&window, Twips::fromPx(widthPx), Twips::fromPx(heightPx));
    }
};

} // namespace

class TestResize : public QObject {
    Q_OBJECT

    std::unique_ptr<TestForm> f;
    std::unique_ptr<clsResize> engine;

    // Gives the window the factors, checks it got them, and lets the engine follow.
    void resizeTo(double fx, double fy) {
        f->setOuter(625 * fx, 500 * fy);
        const QSizeF outer = Twips::outerSize(&f->window);
        QCOMPARE(outer.width() / engine->form().Width(), fx);
        QCOMPARE(outer.height() / engine->form().Height(), fy);
        engine->DoResize();
    }
    // Every box control sits within half a pixel of its design geometry times the factors
    // (the combo box keeps the height of its style); fonts follow the smaller factor.
    void verifyScaled(double fx, double fy) {
        auto near = [](int px, double want) { return std::fabs(px - want) <= 0.5 + 1e-9; };
        for (auto it = f->design.cbegin(); it != f->design.cend(); ++it) {
            const QRect d = it.value();
            const QRect g = it.key()->geometry();
            if (f->untouchable.contains(it.key())) {
                QCOMPARE(g, d);
                continue;
            }
            const bool heightOk = it.key() == f->combo1
                                      ? g.height() == f->combo1->sizeHint().height()
                                      : near(g.height(), d.height() * fy);
            QVERIFY2(near(g.x(), d.x() * fx) && near(g.y(), d.y() * fy) &&
                         near(g.width(), d.width() * fx) && heightOk,
                     qPrintable(it.key()->objectName()));
        }
        const double smin = std::min(fx, fy);
        QVERIFY(qAbs(f->text1->font().pointSizeF() - 10 * smin) < 1e-4);
        QVERIFY(qAbs(f->label1->font().pointSizeF() - 8.25 * smin) < 1e-4);
        QCOMPARE(f->line1->X2(), int(std::lround(3375 * fx)));
        QCOMPARE(f->line2->Y2(), int(std::lround(2700 * fy)));
        QCOMPARE(f->line2->X1(), int(std::lround(2700 * fx)));
    }

private slots:
    void init() {
        f = std::make_unique<TestForm>();
        engine = std::make_unique<clsResize>();
        engine->oForm(&f->window);
        engine->Initialize();
    }
    void cleanup() {
        engine.reset();
        f.reset();
    }

    void properties_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("property");
        QTest::addColumn<double>("value"); // NaN: read only
        QTest::addColumn<Result>("expected");
        auto row = [](const char* name, const char* kind, const char* prop, double v, Result r) {
            QTest::newRow(name) << QString(kind) << QString(prop) << v << r;
        };
        const double get = qQNaN();
        row("menu entry has no Top", "action", "Top", get, Result::Unsupported);
        row("menu entry font through Font.Size", "action", "Font.Size", get, Result::Ok);
        row("line has no font", "line", "Font.Size", get, Result::Unsupported);
        row("label has no X1", "label", "X1", get, Result::Unsupported);
        row("font size 0 refused", "label", "Fontsize", 0, Result::Refused);
        row("negative width refused", "label", "Width", -15, Result::Refused);
        row("overflowing left refused", "label", "Left", 1e12, Result::Refused);
        row("infinite top refused", "label", "Top", qInf(), Result::Refused);
        row("overflowing line end refused", "line", "Y2", -1e12, Result::Refused);
        row("combo box refuses a height", "combo", "Height", 9000, Result::Refused);
        row("combo box takes a width", "combo", "Width", 3000, Result::Ok);
    }
    void properties() {
        QFETCH(QString, kind);
        QFETCH(QString, property);
        QFETCH(double, value);
        QFETCH(Result, expected);
        QObject* control = kind == "action"  ? static_cast<QObject*>(f->menu->actions().first())
                           : kind == "line"  ? f->line1
                           : kind == "combo" ? f->combo1
                                             : f->label1;
        const QRect before = kind == "line" ? f->line1->geometry() : f->label1->geometry();
        double read = 0;
        if (std::isnan(value)) {
            QCOMPARE(ControlAccess::read(control, property, read), expected);
            return;
        }
        QCOMPARE(ControlAccess::write(control, property, value), expected);
        if (kind == "combo") {
            QCOMPARE(f->combo1->height(), f->combo1->sizeHint().height());
            QCOMPARE(f->combo1->width(), property == "Width" ? Twips::toPx(3000) : 150);
        } else {
            QCOMPARE(kind == "line" ? f->line1->geometry() : f->label1->geometry(), before);
            QCOMPARE(f->label1->font().pointSizeF(), 8.25);
        }
        QCOMPARE(ControlAccess::move(f->label1, 0, 0, -1, 10), Result::Refused);
    }

    // Menu entries have no place; the single Label41 meets the key of an array element first.
    void captureKeepsOneRecordPerKey() {
        const col_Controls& c = engine->controls();
        QCOMPARE(c.Count(), 8);
        QVERIFY(!c.Item("MDatei1"));
        QCOMPARE(c.Item("Label41")->Left(), 12 * 15);
        QCOMPARE(c.Item("Line1")->Fontsize(), 0.0f);
    }

    void scales_data() {
        QTest::addColumn<double>("fx");
        QTest::addColumn<double>("fy");
        QTest::newRow("design size restores everything") << 1.0 << 1.0;
        QTest::newRow("twice as wide, fonts stay") << 2.0 << 1.0;
        QTest::newRow("2 x 1.45, fonts by 1.45") << 2.0 << 1.45;
        QTest::newRow("smaller than design, fonts by the width") << 0.8 << 0.9;
    }
    void scales() {
        QFETCH(double, fx);
        QFETCH(double, fy);
        const QRect menuBefore = f->menu->geometry();
        // Switching back and forth first: every resize scales from the design layout.
        for (int round = 0; round < 3; ++round)
            for (double fz : {2.0, 0.8, 1.28, 1.0})
                resizeTo(fz, fz * 1.1);
        resizeTo(fx, fy);
        verifyScaled(fx, fy);
        QCOMPARE(f->menu->geometry(), menuBefore);
    }

    void resizeOption_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("keepWidth");
        QTest::addColumn<bool>("keepHeight");
        QTest::newRow("0 scales all") << 0 << false << false;
        QTest::newRow("1 keeps the width") << 1 << true << false;
        QTest::newRow("2 keeps the height") << 2 << false << true;
        QTest::newRow("3 keeps both") << 3 << true << true;
        QTest::newRow("7 scales all") << 7 << false << false;
        QTest::newRow("65537 refused, not cut to 1") << 65537 << false << false;
    }
    void resizeOption() {
        QFETCH(int, option);
        QFETCH(bool, keepWidth);
        QFETCH(bool, keepHeight);
        engine->ResizeOption(f->text1, option);
        resizeTo(2, 1.45);
        const QRect d = f->design.value(f->text1);
        QCOMPARE(f->text1->geometry(),
                 QRect(d.x() * 2, qRound(d.y() * 1.45), keepWidth ? d.width() : d.width() * 2,
                       keepHeight ? d.height() : qRound(d.height() * 1.45)));
        // Position always scales; the design size comes back whatever the option.
        resizeTo(1, 1);
        QCOMPARE(f->text1->geometry(), d);
    }

    void fontSizingOffHoldsTheFontUntilRestored() {
        resizeTo(2, 1.45);
        engine->ResizeOption(f->text1, 3);
        engine->ResizeOption(f->text1, std::nullopt, false); // an omitted option stays
        QCOMPARE(engine->controls().Item("Text1")->ResizeOption(), qint16(3));
        resizeTo(1.28, 1.28);
        QCOMPARE(f->text1->font().pointSizeF(), double(10 * 1.45f));
        resizeTo(1, 1);
        QCOMPARE(f->text1->font().pointSizeF(), 10.0);
        // The single Label41 shares a key with an array element, never its record.
        engine->ResizeOption(f->label41Single, 3);
        QCOMPARE(engine->controls().Item("Label41")->ResizeOption(), qint16(0));
    }

    // Inside the band the design layout comes back; outside it, and for factors a capture gone
    // wrong gives (beyond 0.25..5), the window is scaled or left as it is.
    void factorsBeyondTheUsual_data() {
        QTest::addColumn<float>("band");
        QTest::addColumn<double>("fx");
        QTest::addColumn<double>("fy");
        QTest::addColumn<double>("sx"); // the layout's factors afterwards
        QTest::addColumn<double>("sy");
        QTest::newRow("inside a 10% band") << 10.0f << 1.08 << 0.96 << 1.0 << 1.0;
        QTest::newRow("no band scales") << 0.0f << 1.08 << 0.96 << 1.08 << 0.96;
        QTest::newRow("width outside the band") << 10.0f << 1.12 << 1.0 << 1.12 << 1.0;
        QTest::newRow("height outside the band") << 10.0f << 1.0 << 0.88 << 1.0 << 0.88;
        QTest::newRow("ten times as wide: refused") << 0.0f << 10.0 << 1.0 << 2.0 << 2.0;
        QTest::newRow("a fifth as high: refused") << 0.0f << 1.0 << 0.2 << 2.0 << 2.0;
        QTest::newRow("five times as high: scaled") << 0.0f << 1.0 << 5.0 << 1.0 << 5.0;
        QTest::newRow("a quarter as high: scaled") << 0.0f << 1.0 << 0.25 << 1.0 << 0.25;
    }
    void factorsBeyondTheUsual() {
        QFETCH(float, band);
        QFETCH(double, fx);
        QFETCH(double, fy);
        QFETCH(double, sx);
        QFETCH(double, sy);
        resizeTo(2, 2);
        engine->ScaleMinMax(band);
        resizeTo(fx, fy);
        verifyScaled(sx, sy);
    }

    // Captured before the window manager framed the window, the record is completed with the
    // frame: at the same client size nothing moves once the window has its frame.
    void captureBeforeFramingKeepsTheLayout() {
        QWidget window;
        auto* label = addWidget(new QLabel("Länge"), &window, "Label1", {15, 30, 120, 21});
        window.resize(300, 200);
        clsResize early;
        early.oForm(&window);
        early.Initialize();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!WindowPlacement::frameMargins(&window).isNull());
        early.DoResize();
        QCOMPARE(label->geometry(), QRect(15, 30, 120, 21));
        QCOMPARE(early.form().Height(), qRound(Twips::outerSize(&window).height()));
    }

    void titleBarIsKeptOnTheScreen_data() {
        QTest::addColumn<QRect>("frame"); // asked for, pixels
        QTest::addColumn<QPoint>("kept"); // the frame's top left afterwards; width 400
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("inside stays") << QRect(100, 100, 400, 300) << QPoint(100, 100);
        QTest::newRow("above the screen") << QRect(100, -300, 400, 300) << QPoint(100, 0);
        QTest::newRow("left of the screen") << QRect(-50, 100, 400, 300) << QPoint(0, 100);
        QTest::newRow("beyond the right edge")
            << QRect(screen.right() - 100, 100, 400, 300) << QPoint(screen.right() + 1 - 400, 100);
        QTest::newRow("below the bottom")
            << QRect(100, screen.bottom() + 50, 400, 300) << QPoint(100, screen.bottom() + 1);
        QTest::newRow("wider than the screen")
            << QRect(-300, 100, screen.width() + 200, 300) << QPoint(0, 100);
    }
    void titleBarIsKeptOnTheScreen() {
        QFETCH(QRect, frame);
        QFETCH(QPoint, kept);
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QMargins m = WindowPlacement::frameMargins(&window);
        window.setGeometry(frame.marginsRemoved(m));
        WindowPlacement::keepTitleBarOnScreen(&window);
        // Kept at the screen's bottom edge means a title bar above it.
        if (kept.y() > QGuiApplication::primaryScreen()->availableGeometry().bottom())
            kept.ry() -= std::max(m.top(), 1);
        QCOMPARE(window.geometry().topLeft() - QPoint(m.left(), m.top()), kept);
        QCOMPARE(window.size(), frame.marginsRemoved(m).size());
    }

    // What the window manager does to a window while framing it is undone; what the user does
    // later stays.
    void placementHoldsWhileTheWindowIsFramed() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int runs = 0;
        WindowPlacement::keep(&window, [&] {
            ++runs;
            Twips::setOuterSize(&window, 6000, 4500);
            Twips::setOuterPos(&window, 1500, 900);
        });
        QCOMPARE(runs, 1);
        const QRect placed = window.geometry();
        QCOMPARE(Twips::outerPos(&window), QPointF(1500, 900));
        window.move(0, 0);
        QCOMPARE(window.geometry(), placed);
        QTest::qWait(1100);
        window.move(40, 30);
        QCOMPARE(window.pos(), QPoint(40, 30));
        QCOMPARE(runs, 2);
    }

    // The border's top line runs through the middle of the caption, which is indented by about
    // a character, and breaks off behind it.
    void classicFrameWritesItsCaptionOnTheBorder() {
        ClassicFrame frame(QStringLiteral("Gleiswahl"));
        frame.resize(240, 120);
        const QRect caption = frame.captionRect();
        const int top = frame.borderTop();
        QVERIFY(qAbs(top - (caption.top() + caption.height() / 2.0)) <= 0.5);
        QVERIFY(caption.left() >= frame.fontMetrics().averageCharWidth());
        const QImage img = frame.grab().toImage();
        const QRgb dark = frame.palette().color(QPalette::Dark).rgb();
        QCOMPARE(img.pixel(1, top), dark);
        QCOMPARE(img.pixel(200, top), dark);
        QCOMPARE(img.pixel(0, 100), dark);
        QVERIFY(img.pixel(caption.left() - 1, top) != dark);
        QVERIFY(img.pixel(caption.right() + 1, top) != dark);
        int ink = 0; // the caption itself
        for (int x = caption.left(); x <= caption.right(); ++x)
            ink += qGray(img.pixel(x, top)) < 100;
        QVERIFY(ink > 0);

        frame.setTitle(QString());
        QCOMPARE(frame.borderTop(), 0);
        QCOMPARE(frame.grab().toImage().pixel(caption.center().x(), 0), dark);
    }

    void controlAddedLaterIsLeftAlone() {
        auto* late =
            addWidget(new QLabel("neu"), f->window.centralWidget(), "Label9", {30, 330, 60, 20});
        resizeTo(2, 2);
        QCOMPARE(late->geometry(), QRect(30, 330, 60, 20));
        // A second capture adds it but keeps the design records of the others.
        engine->Initialize();
        QVERIFY(engine->controls().Item("Label9"));
        QCOMPARE(engine->controls().Item("Text1")->Width(), 200 * 15);
    }

    void restoresWindowSizeOnlyOnceCaptured() {
        resizeTo(2, 1.45);
        engine->DoResize_First(true);
        QCOMPARE(qRound(Twips::outerSize(&f->window).width()), engine->form().Width());
        verifyScaled(1, 1);

        clsResize blank; // never captured: nothing to scale by, nothing to restore
        blank.oForm(&f->window);
        blank.DoResize();
        blank.DoResize_First(true);
        QCOMPARE(qRound(Twips::outerSize(&f->window).width()), engine->form().Width());
    }

    void lineControlDrawsASunkenRule() {
        // 150..3375 twips at y 1800 are 10..225 pixels at y 120, plus the rule's two pixels.
        QCOMPARE(f->line1->geometry(), QRect(10, 120, 217, 2));
        const QImage img = f->line1->grab().toImage();
        const QPalette pal = f->line1->palette();
        QCOMPARE(img.pixel(img.width() / 2, 0), pal.color(QPalette::Dark).rgb());
        QCOMPARE(img.pixel(img.width() / 2, 1), pal.color(QPalette::Light).rgb());
        QCOMPARE(f->line2->width(), 2);
    }

    // A caption too wide for its control gets the largest font, in quarter points down from its
    // own, at which it shows whole, but never below 60 % of it; alike controls side by side
    // take one size.
    void captionsShrinkUntilTheyFit_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("width");
        QTest::newRow("label") << "label" << 70;
        QTest::newRow("button") << "button" << 80;
        QTest::newRow("frame caption") << "frame" << 80;
        QTest::newRow("label far too narrow") << "label" << 8;
    }
    void captionsShrinkUntilTheyFit() {
        QFETCH(QString, kind);
        QFETCH(int, width);
        QWidget window;
        auto make = [&](const char* name, const QString& text, QRect px) {
            QWidget* w = kind == "button"  ? static_cast<QWidget*>(new QPushButton(text))
                         : kind == "frame" ? static_cast<QWidget*>(new QGroupBox(text))
                                           : new QLabel(text);
            addWidget(w, &window, name, px);
            setPoints(w, 12);
            return w;
        };
        QWidget* wide = make("Wide", QStringLiteral("Gleislänge"), {0, 0, width, 40});
        QWidget* roomy = make("Roomy", QStringLiteral("mm"), {0, 50, 400, 40});
        QWidget* edit = addWidget(new QLineEdit("Gleislänge"), &window, "Edit", {0, 100, 8, 40});
        setPoints(edit, 12);
        TextFit::fitCaptions(&window);
        const double size = wide->font().pointSizeF();
        QCOMPARE(roomy->font().pointSizeF(), size);
        QCOMPARE(edit->font().pointSizeF(), 12.0);
        QVERIFY(size < 12);
        QCOMPARE(std::fmod(12 - size, 0.25), 0.0);
        QFont larger = wide->font();
        larger.setPointSizeF(size + 0.25);
        if (width < 10)
            QCOMPARE(size, 7.25);
        else
            QVERIFY(TextFit::fits(wide, wide->font()) && !TextFit::fits(wide, larger));
    }
};

QTEST_MAIN(TestResize)
#include "tst_resize.moc"
