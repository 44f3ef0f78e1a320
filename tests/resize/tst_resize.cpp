#include "classicframe.h"
#include "clsResize.h"
#include "controlaccess.h"
#include "linecontrol.h"
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

QFont pointFont(double points) {
    QFont f;
    f.setPointSizeF(points);
    return f;
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
        window.setObjectName("TestForm");
        auto* central = new QWidget; // unnamed: searched, not resized
        window.setCentralWidget(central);
        menu = window.menuBar()->addMenu("&Datei");
        menu->setObjectName("MDateiMenu");
        for (int i = 1; i <= 2; ++i) {
            QAction* a = menu->addAction(QString("Eintrag %1").arg(i));
            a->setObjectName("MDatei");
            a->setProperty("index", i);
        }
        label1 = addWidget(new QLabel("Länge"), central, "Label1", {12, 9, 120, 21});
        label1->setFont(pointFont(8.25));
        text1 = static_cast<QLineEdit*>(
            addWidget(new QLineEdit("1000"), central, "Text1", {12, 36, 200, 27}));
        text1->setFont(pointFont(10));
        combo1 = new QComboBox;
        combo1->addItems({"0,0", "0,5", "1,0"});
        addWidget(combo1, central, "Combo1", {12, 75, 150, combo1->sizeHint().height()});
        line1 = new LineControl(central);
        line1->setObjectName("Line1");
        line1->setLine(150, 1800, 3375, 1800);
        auto* frame = addWidget(new QGroupBox("Gleiswahl"), central, "Frame1", {250, 9, 330, 210});
        addWidget(new QLabel("Art.-Nr."), frame, "Label2", {15, 30, 100, 20});
        addWidget(new QLineEdit, frame, "Text2", {15, 60, 150, 24});
        line2 = new LineControl(frame);
        line2->setObjectName("Line2");
        line2->setLine(2700, 450, 2700, 2700);
        addWidget(new QLabel("1"), central, "Label4", {12, 240, 90, 20}, 1);
        addWidget(new QLabel("2"), central, "Label4", {12, 270, 90, 20}, 2);
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

    void capture() {
        engine = std::make_unique<clsResize>();
        engine->oForm(&f->window);
        engine->Initialize();
    }
    // Gives the window the factors, checks it got them, and lets the engine follow.
    void resizeTo(double fx, double fy) {
        f->setOuter(625 * fx, 500 * fy);
        const QSizeF outer = Twips::outerSize(&f->window);
        QCOMPARE(outer.width() / engine->form().Width(), fx);
        QCOMPARE(outer.height() / engine->form().Height(), fy);
        engine->DoResize();
    }
    // Every box control sits within half a pixel (the one rounding) of its design geometry
    // times the factors; fonts follow the smaller factor.
    void verifyScaled(double fx, double fy) {
        auto near = [](int px, double want) { return std::fabs(px - want) <= 0.5 + 1e-9; };
        for (auto it = f->design.cbegin(); it != f->design.cend(); ++it) {
            QWidget* w = it.key();
            const QRect d = it.value();
            const QRect g = w->geometry();
            if (f->untouchable.contains(w)) {
                QCOMPARE(g, d);
                continue;
            }
            const bool combo = w == f->combo1;
            QVERIFY2(near(g.x(), d.x() * fx) && near(g.y(), d.y() * fy) &&
                         near(g.width(), d.width() * fx) &&
                         (combo ? g.height() == f->combo1->sizeHint().height()
                                : near(g.height(), d.height() * fy)),
                     qPrintable(w->objectName()));
        }
        const float smin = float(std::min(fx, fy));
        QCOMPARE(f->text1->font().pointSizeF(), double(float(10 * smin)));
        QCOMPARE(f->label1->font().pointSizeF(), double(float(8.25f * smin)));
        QCOMPARE(f->line1->X2(), int(std::lround(3375 * fx)));
        QCOMPARE(f->line2->Y2(), int(std::lround(2700 * fy)));
        QCOMPARE(f->line2->X1(), int(std::lround(2700 * fx)));
    }

private slots:
    void init() {
        f = std::make_unique<TestForm>();
        capture();
    }
    void cleanup() {
        engine.reset();
        f.reset();
    }

    void records() {
        clsControl fresh;
        QVERIFY(fresh.FontSizing());
        QCOMPARE(fresh.ResizeOption(), qint16(0));
        clsForm form;
        QCOMPARE(QList<qint32>({form.Top(), form.Left(), form.Width(), form.Height()}),
                 QList<qint32>({0, 0, 0, 0}));

        col_Controls c;
        QVERIFY(!c.Item("") && !c.Item("Text1"));
        QCOMPARE(c.Add(1, 2, 3, 4, "Text1", 8.25f)->Tag(), 1);
        QVERIFY(!c.Add(9, 9, 9, 9, "Text1", 12));
        QVERIFY(!c.Add(9, 9, 9, 9, "", 12));
        clsControl* line = c.AddLine(10, 20, 30, 40, "Line1");
        QCOMPARE(line->Tag(), 2);
        QCOMPARE(c.Count(), 2);
        QCOMPARE(c.Item("Text1")->Top(), 1); // the refused duplicate changed nothing
        QCOMPARE(QList<qint32>({line->X1(), line->X2(), line->Y1(), line->Y2()}),
                 QList<qint32>({10, 20, 30, 40}));
        QCOMPARE(QList<qint32>({line->Top(), line->Left(), line->Width(), line->Height()}),
                 QList<qint32>({0, 0, 0, 0}));
        QCOMPARE(line->Fontsize(), 0.0f);
        QVERIFY(line->FontSizing());
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
        row("menu entry has no Fontsize", "action", "Fontsize", get, Result::Unsupported);
        row("menu entry font through Font.Size", "action", "Font.Size", get, Result::Ok);
        row("line has no Fontsize", "line", "Fontsize", get, Result::Unsupported);
        row("line has no Font.Size", "line", "Font.Size", get, Result::Unsupported);
        row("line has no Top", "line", "Top", get, Result::Unsupported);
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

    void capturesNamedControlsInOrder() {
        const QStringList keys = {"Label1", "Text1", "Combo1", "Line1",   "Frame1",
                                  "Label2", "Text2", "Line2",  "Label41", "Label42"};
        const col_Controls& c = engine->controls();
        QCOMPARE(c.Count(), keys.size());
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(c.Item(keys[i])->Tag(), i + 1);
        QVERIFY(!c.Item("MDatei1"));                  // menu entries have no geometry
        QCOMPARE(c.Item("Label41")->Left(), 12 * 15); // the array element came first
        QCOMPARE(c.Item("Text1")->Fontsize(), 10.0f);
        QCOMPARE(c.Item("Text1")->Width(), 200 * 15);
        const clsControl* line = c.Item("Line1");
        QCOMPARE(QList<qint32>({line->X1(), line->X2(), line->Y1(), line->Y2(), line->Width()}),
                 QList<qint32>({150, 3375, 1800, 1800, 0}));
        QCOMPARE(line->Fontsize(), 0.0f);
        QCOMPARE(engine->form().Width(), qRound(Twips::outerSize(&f->window).width()));
    }

    void scales_data() {
        QTest::addColumn<double>("fx");
        QTest::addColumn<double>("fy");
        QTest::newRow("design size restores everything") << 1.0 << 1.0;
        QTest::newRow("twice as wide, fonts stay") << 2.0 << 1.0;
        QTest::newRow("1.28 both ways") << 1.28 << 1.28;
        QTest::newRow("2 x 1.45, fonts by 1.45") << 2.0 << 1.45;
        QTest::newRow("smaller than design") << 0.8 << 0.9;
    }
    void scales() {
        QFETCH(double, fx);
        QFETCH(double, fy);
        const QRect menuBefore = f->menu->geometry();
        // Start from elsewhere, so that "restored" means something, after switching back and
        // forth: every resize scales from the design layout and nothing drifts.
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

    void scaleMinMax_data() {
        QTest::addColumn<float>("band");
        QTest::addColumn<double>("fx");
        QTest::addColumn<double>("fy");
        QTest::addColumn<bool>("restored");
        QTest::newRow("inside a 10% band") << 10.0f << 1.08 << 0.96 << true;
        QTest::newRow("no band scales") << 0.0f << 1.08 << 0.96 << false;
        QTest::newRow("width outside the band") << 10.0f << 1.12 << 1.0 << false;
    }
    void scaleMinMax() {
        QFETCH(float, band);
        QFETCH(double, fx);
        QFETCH(double, fy);
        QFETCH(bool, restored);
        resizeTo(2, 2);
        engine->ScaleMinMax(band);
        QCOMPARE(engine->ScaleMinMax(), band);
        resizeTo(fx, fy);
        if (restored)
            verifyScaled(1, 1);
        else
            verifyScaled(fx, fy);
    }

    // A capture gone wrong gives factors no preset comes near; they change nothing.
    void absurdFactorsAreRefused_data() {
        QTest::addColumn<double>("fx");
        QTest::addColumn<double>("fy");
        QTest::newRow("ten times as wide") << 10.0 << 1.0;
        QTest::newRow("a fifth as high") << 1.0 << 0.2;
    }
    void absurdFactorsAreRefused() {
        QFETCH(double, fx);
        QFETCH(double, fy);
        resizeTo(1.28, 1.28);
        resizeTo(fx, fy);
        verifyScaled(1.28, 1.28);
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

    // The border's top line runs through the middle of the caption and breaks off behind it.
    void classicFrameWritesItsCaptionOnTheBorder() {
        ClassicFrame frame(QStringLiteral("Gleiswahl"));
        frame.resize(240, 120);
        const QRect caption = frame.captionRect();
        const int top = frame.borderTop();
        QVERIFY(qAbs(top - (caption.top() + caption.height() / 2.0)) <= 0.5);
        const QImage img = frame.grab().toImage();
        const QRgb dark = frame.palette().color(QPalette::Dark).rgb();
        QCOMPARE(img.pixel(1, top), dark);
        QCOMPARE(img.pixel(200, top), dark);
        QCOMPARE(img.pixel(0, 100), dark);
        QVERIFY(img.pixel(caption.left() - 1, top) != dark);
        QVERIFY(img.pixel(caption.right() + 1, top) != dark);
        QVERIFY(img.pixel(200, top - 1) != dark);
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
        QCOMPARE(engine->controls().Item("Label9")->Tag(), 11);
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
        // 150..3375 twips at y 1800 is 10..225 px at y 120 (96 dpi: 15 twips a pixel).
        const double px = 1440 / Twips::logicalDpi(f->line1);
        QCOMPARE(f->line1->geometry(), QRect(qRound(150 / px), qRound(1800 / px),
                                             qRound(3375 / px) - qRound(150 / px) + 2, 2));
        const QImage img = f->line1->grab().toImage();
        const QPalette pal = f->line1->palette();
        QCOMPARE(img.pixel(img.width() / 2, 0), pal.color(QPalette::Dark).rgb());
        QCOMPARE(img.pixel(img.width() / 2, 1), pal.color(QPalette::Light).rgb());
        QCOMPARE(f->line2->width(), 2);
    }
};

QTEST_MAIN(TestResize)
#include "tst_resize.moc"
