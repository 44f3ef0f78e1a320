#include "classicframe.h"
#include "clsResize.h"
#include "datarow.h"
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
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

template <typename W> W* add(W* w, QWidget* parent, const char* name, QRect px, double points = 0) {
    w->setParent(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(px);
    if (points > 0) {
        QFont font = w->font();
        font.setPointSizeF(points);
        w->setFont(font);
    }
    return w;
}

LineControl* addLine(QWidget* parent, const char* name, QLine twips) {
    auto* line = add(new LineControl, parent, name, {});
    line->setLine(twips.x1(), twips.y1(), twips.x2(), twips.y2());
    return line;
}

} // namespace

class TestResize : public QObject {
    Q_OBJECT

    // A window with every kind of control the engine must tell apart, laid out in pixels.
    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<clsResize> engine;
    QLabel* label = nullptr;
    QLineEdit* text = nullptr;
    QComboBox* combo = nullptr;
    LineControl* hLine = nullptr;
    LineControl* vLine = nullptr; // inside the frame
    QList<QWidget*> untouchable;  // a key met before, no key, Qt's own
    QMap<QWidget*, QRect> design;

    // The design's outer size (625 x 500 px) times the factors; the engine follows if told to.
    void resizeTo(double fx, double fy, bool follow = true) {
        Twips::setOuterSize(window.get(), Twips::fromPx(625 * fx), Twips::fromPx(500 * fy));
        if (follow)
            engine->DoResize();
    }
    // Every box control sits within half a pixel of its design geometry times the factors
    // (the combo box at the height of its style); fonts follow the smaller factor.
    void verifyScaled(double fx, double fy) {
        auto near = [](int px, double want) { return std::fabs(px - want) <= 0.5 + 1e-9; };
        for (auto it = design.cbegin(); it != design.cend(); ++it) {
            const QRect d = it.value();
            const QRect g = it.key()->geometry();
            if (untouchable.contains(it.key())) {
                QCOMPARE(g, d);
                continue;
            }
            const bool heightOk = it.key() == combo ? g.height() == combo->sizeHint().height()
                                                    : near(g.height(), d.height() * fy);
            QVERIFY2(near(g.x(), d.x() * fx) && near(g.y(), d.y() * fy) &&
                         near(g.width(), d.width() * fx) && heightOk,
                     qPrintable(it.key()->objectName()));
        }
        QVERIFY(qAbs(text->font().pointSizeF() - 10 * std::min(fx, fy)) < 1e-4);
        QVERIFY(qAbs(label->font().pointSizeF() - 8.25 * std::min(fx, fy)) < 1e-4);
        QCOMPARE(QList<int>({hLine->X2(), vLine->X1(), vLine->Y2()}),
                 QList<int>({int(std::lround(3375 * fx)), int(std::lround(2700 * fx)),
                             int(std::lround(2700 * fy))}));
    }

private slots:
    void init() {
        window = std::make_unique<QMainWindow>();
        auto* central = new QWidget; // unnamed: searched, not resized
        window->setCentralWidget(central);
        window->menuBar()->addMenu("&Datei")->addAction("Eintrag")->setObjectName("MDatei");
        label = add(new QLabel("Länge"), central, "Label1", {12, 9, 120, 21}, 8.25);
        text = add(new QLineEdit("1000"), central, "Text1", {12, 36, 200, 27}, 10);
        combo = add(new QComboBox, central, "Combo1", {12, 75, 150, 0});
        combo->resize(150, combo->sizeHint().height());
        auto* frame = add(new QGroupBox("Gleiswahl"), central, "Frame1", {250, 9, 330, 210});
        add(new QLabel("1"), central, "Label4", {12, 240, 90, 20})->setProperty("index", 1);
        untouchable = {add(new QLabel("x"), central, "Label41", {120, 240, 90, 20}),
                       add(new QLabel, central, "", {400, 300, 50, 20}),
                       add(new QLabel, central, "qt_helper", {460, 300, 50, 20})};
        for (QWidget* w : central->findChildren<QWidget*>())
            design.insert(w, w->geometry());
        hLine = addLine(central, "Line1", {150, 1800, 3375, 1800});
        vLine = addLine(frame, "Line2", {2700, 450, 2700, 2700});
        window->show();
        resizeTo(1, 1, false);
        engine = std::make_unique<clsResize>();
        engine->oForm(window.get());
        engine->Initialize();
    }
    void cleanup() {
        engine.reset();
        window.reset();
        design.clear();
    }

    // Menu entries have no place; the single Label41 meets the key of an array element first
    // and gets no record, nor takes the element's options. A control added after the capture is
    // left alone; restoring brings back the captured window size too, unless there is none.
    void captureAndRestore() {
        const col_Controls& c = engine->controls();
        QCOMPARE(c.Count(), 7);
        QVERIFY(!c.Item("MDatei"));
        QCOMPARE(c.Item("Label41")->Left(), 12 * 15);
        engine->ResizeOption(untouchable.first(), 3);
        QCOMPARE(c.Item("Label41")->ResizeOption(), qint16(0));

        auto* late = add(new QLabel("neu"), window->centralWidget(), "Label9", {30, 330, 60, 20});
        resizeTo(2, 1.45);
        QCOMPARE(late->geometry(), QRect(30, 330, 60, 20));
        engine->DoResize_First(true);
        QCOMPARE(qRound(Twips::outerSize(window.get()).width()), engine->form().Width());
        verifyScaled(1, 1);

        const QSize size = window->size();
        clsResize blank;
        blank.oForm(window.get());
        blank.DoResize();
        blank.DoResize_First(true);
        QCOMPARE(window->size(), size);
    }

    // An option keeps the width, the height or both; without font sizing the font stays as it
    // is. Position always scales, and the design layout comes back whatever the options.
    void resizeOptions_data() {
        dataColumns<int, bool, bool, bool>({"option", "fontSizing", "keepWidth", "keepHeight"});
        dataRow("1 keeps the width", 1, true, true, false);
        dataRow("2 keeps the height", 2, true, false, true);
        dataRow("3 keeps both, font held", 3, false, true, true);
        dataRow("7 scales all", 7, true, false, false);
        dataRow("65537 refused, not cut to 1", 65537, true, false, false);
    }
    void resizeOptions() {
        QFETCH(int, option);
        QFETCH(bool, fontSizing);
        QFETCH(bool, keepWidth);
        QFETCH(bool, keepHeight);
        resizeTo(2, 1.45);
        engine->ResizeOption(text, option);
        engine->ResizeOption(text, std::nullopt, fontSizing); // the omitted option stays
        resizeTo(2, 1.28);
        const QRect d = design.value(text);
        QCOMPARE(text->geometry(),
                 QRect(d.x() * 2, qRound(d.y() * 1.28), keepWidth ? d.width() : d.width() * 2,
                       keepHeight ? d.height() : qRound(d.height() * 1.28)));
        QCOMPARE(text->font().pointSizeF(), double(10 * (fontSizing ? 1.28f : 1.45f)));
        resizeTo(1, 1);
        QCOMPARE(text->geometry(), d);
        QCOMPARE(text->font().pointSizeF(), 10.0);
    }

    // Scaled from the design layout whatever came before, fonts by the smaller factor. Inside
    // the band the design layout comes back; factors beyond 0.25..5 come from a capture gone
    // wrong and leave the window as it is.
    void scales_data() {
        // sx, sy: the layout's factors afterwards
        dataColumns<float, double, double, double, double>({"band", "fx", "fy", "sx", "sy"});
        dataRow("2 x 1.45, fonts by the height", 0.0f, 2.0, 1.45, 2.0, 1.45);
        dataRow("smaller, fonts by the width", 0.0f, 0.8, 0.9, 0.8, 0.9);
        dataRow("inside a 10% band", 10.0f, 1.08, 0.96, 1.0, 1.0);
        dataRow("outside the band", 10.0f, 1.0, 0.88, 1.0, 0.88);
        dataRow("ten times as wide: refused", 0.0f, 10.0, 1.0, 2.0, 2.0);
        dataRow("a fifth as high: refused", 0.0f, 1.0, 0.2, 2.0, 2.0);
        dataRow("five times as high: scaled", 0.0f, 1.0, 5.0, 1.0, 5.0);
        dataRow("a quarter as high: scaled", 0.0f, 1.0, 0.25, 1.0, 0.25);
    }
    void scales() {
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
        QWidget shell;
        auto* caption = add(new QLabel("Länge"), &shell, "Label1", {15, 30, 120, 21});
        shell.resize(300, 200);
        clsResize early;
        early.oForm(&shell);
        early.Initialize();
        shell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shell));
        QVERIFY(!WindowPlacement::frameMargins(&shell).isNull());
        early.DoResize();
        QCOMPARE(caption->geometry(), QRect(15, 30, 120, 21));
        QCOMPARE(early.form().Height(), qRound(Twips::outerSize(&shell).height()));
    }

    // A window asked to go off the screen keeps its title bar on it and its size; at the bottom
    // edge the title bar's height stays on the screen.
    void titleBarIsKeptOnTheScreen() {
        QWidget shell;
        shell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shell));
        const QMargins m = WindowPlacement::frameMargins(&shell);
        const QRect s = QGuiApplication::primaryScreen()->availableGeometry();
        const QList<std::pair<QRect, QPoint>> frameAndKeptTopLeft = {
            {{100, 100, 400, 300}, {100, 100}},
            {{100, -300, 400, 300}, {100, 0}},
            {{s.right() - 100, 100, 400, 300}, {s.right() + 1 - 400, 100}},
            {{100, s.bottom() + 50, 400, 300}, {100, s.bottom() + 1 - std::max(m.top(), 1)}},
            {{-300, 100, s.width() + 200, 300}, {0, 100}}};
        for (const auto& [frame, kept] : frameAndKeptTopLeft) {
            shell.setGeometry(frame.marginsRemoved(m));
            WindowPlacement::keepTitleBarOnScreen(&shell);
            QCOMPARE(shell.geometry().topLeft() - QPoint(m.left(), m.top()), kept);
            QCOMPARE(shell.size(), frame.marginsRemoved(m).size());
        }
    }

    // The border's top line runs through the middle of the caption, which is indented by about
    // a character, and breaks off the same small distance before and after it; without a
    // caption the line runs along the top.
    void classicFrameWritesItsCaptionOnTheBorder() {
        ClassicFrame frame(QStringLiteral("Gleiswahl"));
        frame.resize(240, 120);
        const QRect caption = frame.captionRect();
        const int top = frame.borderTop();
        QVERIFY(qAbs(top - (caption.top() + caption.height() / 2.0)) <= 0.5);
        QVERIFY(caption.left() >= frame.fontMetrics().averageCharWidth());
        const QImage img = frame.grab().toImage();
        const QRgb dark = frame.palette().color(QPalette::Dark).rgb();
        auto lineFrom = [&](int x, int step) { // the first pixel of the line from x on
            while (x > 0 && x < img.width() - 1 && img.pixel(x, top) != dark)
                x += step;
            return x;
        };
        const int before = caption.left() - lineFrom(caption.left() - 1, -1);
        QCOMPARE(lineFrom(caption.right() + 1, 1) - caption.right(), before);
        QVERIFY2(before >= 2 && before <= 4, qPrintable(QString::number(before)));

        frame.setTitle(QString());
        QCOMPARE(frame.grab().toImage().pixel(caption.center().x(), 0), dark);
    }

    // A caption too wide for its control gets the largest font, in quarter points down from its
    // own, at which it shows whole, a frame's caption with its indent on both sides; alike
    // controls side by side take one size. Not below 60 %, and a label that wraps needs only the
    // room of its lines.
    void captionsShrinkUntilTheyFit() {
        QWidget form;
        const QString title = QStringLiteral("Gleis Länge");
        auto* tight = add(new QGroupBox(title), &form, "Frame1", {0, 0, 80, 60}, 10);
        auto* roomy = add(new QGroupBox(title), &form, "Frame2", {0, 70, 400, 60}, 10);
        auto* narrow = add(new QLabel(title), &form, "Label1", {0, 140, 8, 20}, 10);
        auto* box = add(new QWidget, &form, "Box", {0, 200, 200, 100}); // a group of its own
        auto* wrapped = add(new QLabel(title), box, "Label2", {0, 0, 70, 60}, 10);
        wrapped->setWordWrap(true);
        TextFit::fitCaptions(&form);
        const QFontMetrics fm(tight->font());
        QVERIFY(fm.horizontalAdvance(title) + 2 * ClassicFrame::captionIndent(fm) <= 80);
        QFont larger = tight->font();
        larger.setPointSizeF(larger.pointSizeF() + 0.25);
        QVERIFY(larger.pointSizeF() < 10.25 && !TextFit::fits(tight, larger));
        QCOMPARE(std::fmod(10 - roomy->font().pointSizeF(), 0.25), 0.0);
        QCOMPARE(roomy->font(), tight->font());
        QCOMPARE(QList<double>({narrow->font().pointSizeF(), wrapped->font().pointSizeF()}),
                 QList<double>({6.0, 10.0}));
    }
};

QTEST_MAIN(TestResize)
#include "tst_resize.moc"
