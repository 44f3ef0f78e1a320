// Screen presets and the settings file on the real main window.
#include "classicframe.h"
#include "clsResize.h"
#include "kern.h"
#include "kernmain.h"
#include "resulttablemodel.h"
#include "seite1.h"
#include "settings.h"
#include "twips.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QtTest>

#include <sys/stat.h>

class TestPresets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup();
    void everyPresetLaysOutTheWindow_data();
    void everyPresetLaysOutTheWindow();
    void choosingAgainRecentres();
    void switchingBackRestoresTheDesign();
    void presetAfterSearchEmptiesTable();
    void settingsFile_data();
    void settingsFile();
    void rememberedTrackFileLoadsSilently();
    void specialFilesNeverHoldUpTheStart_data();
    void specialFilesNeverHoldUpTheStart();
    void nameWithLineBreakIsNotRemembered();

private:
    static void writeSettings(const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(Kern::SettingsFilePath()).absolutePath());
        QFile f(Kern::SettingsFilePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QSizeF outer(const QWidget* w) { return Twips::outerSize(w); }
    Seite1* w = nullptr;
};

void TestPresets::cleanup() {
    delete w;
    w = nullptr;
    QFile::remove(Kern::SettingsFilePath());
}

// Where a frame's border begins, as painted: the first row whose right edge is not background
// (the caption sits on the left).
static int borderTop(QWidget* frame) {
    const QImage img = frame->grab().toImage();
    const QRgb background = frame->palette().color(QPalette::Window).rgb();
    for (int y = 0; y < img.height(); ++y)
        if (img.pixel(img.width() - 1, y) != background ||
            img.pixel(img.width() - 2, y) != background)
            return y;
    return img.height();
}

static int childrenTop(const QWidget* w) {
    int top = w->height();
    for (const QWidget* inside : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        top = std::min(top, inside->y());
    return top;
}

// The texts of the main window that do not show whole in their controls, as "key: text".
static QStringList clippedTexts(const Seite1* w) {
    QStringList clipped;
    auto check = [&](const QWidget* c, const QString& text, bool fits) {
        if (!fits)
            clipped << c->objectName() + c->property("index").toString() + ": " + text;
    };
    auto plain = [](QString text) { return text.remove(QRegularExpression("&(?!&)")); };
    for (QWidget* c : w->findChildren<QWidget*>()) {
        const QFontMetrics fm(c->font());
        if (auto* label = qobject_cast<const QLabel*>(c)) {
            const QRect room = label->contentsRect();
            const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
            check(c, label->text(), room.contains(fm.boundingRect(room, flags, label->text())));
        } else if (auto* button = qobject_cast<const QAbstractButton*>(c)) {
            const QString text = plain(button->text());
            const QRect room = c->contentsRect().adjusted(4, 2, -4, -2); // the button's bevel
            check(c, text,
                  text.isEmpty() ||
                      (fm.horizontalAdvance(text) <= room.width() && fm.height() <= room.height()));
        } else if (auto* frame = qobject_cast<QGroupBox*>(c)) {
            // Indented by about a character on either side.
            check(c, frame->title(),
                  fm.horizontalAdvance(frame->title()) + 2 * fm.averageCharWidth() <= c->width());
            // The border, two pixels from its top line, keeps clear of the controls inside.
            check(c, "border cuts into the controls", borderTop(frame) + 2 <= childrenTop(frame));
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

void TestPresets::everyPresetLaysOutTheWindow_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    const double f[12][2] = {{1, 1},      {1.28, 1.28}, {1.6, 1.333333}, {1.58, 1.58},
                             {1.58, 1.7}, {1.72, 1.28}, {1.75, 1.75},    {1.8, 1.45},
                             {2, 1.45},   {2, 2},       {2.1, 1.75},     {2.4, 1.8}};
    for (int p = 0; p < 12; ++p)
        QTest::addRow("preset %d", p) << 10 + p << f[p][0] << f[p][1];
}

// Size, factors, check mark, controls, result table and place of the window for each preset;
// every caption, label, button text and grid heading shows whole, before and after a search,
// and no frame's border runs through the controls inside it.
void TestPresets::everyPresetLaysOutTheWindow() {
    QFETCH(int, entry);
    QFETCH(double, sx);
    QFETCH(double, sy);
    w = Kern::Main();
    w->extrasEntry(entry)->trigger();
    QCOMPARE(w->screenScale().preset, double(entry - 10));
    QCOMPARE(w->screenScale().x, sx);
    QCOMPARE(w->screenScale().y, sy);
    // One pixel is 15 twips at 96 dpi.
    QVERIFY(qAbs(outer(w).width() - (sx * 9735 + 60)) <= 15);
    QVERIFY(qAbs(outer(w).height() - sy * 9315) <= 15);
    for (int i = 10; i <= 21; ++i)
        QCOMPARE(w->extrasEntry(i)->isChecked(), i == entry);
    // Controls follow the ratio of the outer size to the one captured at start-up; fonts the
    // smaller ratio.
    const clsResize* engine = w->resizeEngine();
    const double rx = outer(w).width() / engine->form().Width();
    const double ry = outer(w).height() / engine->form().Height();
    const clsControl* design = engine->controls().Item(QStringLiteral("Command1"));
    QVERIFY(design);
    const QRect button = w->startButton()->geometry();
    QVERIFY(qAbs(button.width() - Twips::toPx(design->Width() * rx, w)) <= 1);
    QVERIFY(qAbs(button.height() - Twips::toPx(design->Height() * ry, w)) <= 1);
    QVERIFY(qAbs(w->startButton()->font().pointSizeF() - design->Fontsize() * std::min(rx, ry)) <
            0.05);
    // The result table is rebuilt with the new factors.
    QCOMPARE(w->resultTable()->columnWidthTwips(0), int(std::nearbyint(600 * sx)));
    // Centred horizontally, 150 x ScaleY twips above the vertical centre; but the title bar of
    // "1&600 x 1200", taller than the 1200 pixels of the screen, stays on it.
    const QRect screen = w->screen()->geometry();
    const double left = (Twips::fromPx(screen.width(), w) - outer(w).width()) / 2;
    const double top =
        std::max((Twips::fromPx(screen.height(), w) - outer(w).height() - 300 * sy) / 2,
                 Twips::fromPx(w->screen()->availableGeometry().top(), w));
    QVERIFY(qAbs(Twips::outerPos(w).x() - left) <= 15);
    QVERIFY(qAbs(Twips::outerPos(w).y() - top) <= 15);

    QStringList clipped = clippedTexts(w);
    w->startButton()->click();
    QTRY_COMPARE(w->resultTable()->rowCount(), 4);
    clipped << clippedTexts(w);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(" | "))));
}

void TestPresets::choosingAgainRecentres() {
    w = Kern::Main();
    w->extrasEntry(15)->trigger();
    const QPointF centred = Twips::outerPos(w);
    w->move(10, 10);
    w->extrasEntry(15)->trigger();
    QCOMPARE(Twips::outerPos(w), centred);
    QVERIFY(w->extrasEntry(15)->isChecked());
    // The calculator entry and the separator change neither the preset nor the marks.
    w->MExtras_Click(3);
    QCOMPARE(w->screenScale().preset, 5.0);
    QVERIFY(w->extrasEntry(15)->isChecked());
}

void TestPresets::switchingBackRestoresTheDesign() {
    w = Kern::Main();
    QMap<QObject*, QRect> before;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (!c->objectName().isEmpty() && !c->objectName().startsWith(QLatin1String("qt_")))
            before[c] = c->geometry();
    const double font = w->lengthBox(1)->font().pointSizeF();
    for (int entry : {21, 10, 16, 12, 19, 11})
        w->extrasEntry(entry)->trigger();
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(static_cast<QWidget*>(it.key())->geometry(), it.value());
    QCOMPARE(w->lengthBox(1)->font().pointSizeF(), font);
}

void TestPresets::presetAfterSearchEmptiesTable() {
    w = Kern::Main();
    w->startButton()->click();
    QTRY_VERIFY(!w->searchRunning());
    QCOMPARE(w->resultTable()->rowCount(), 4);
    w->extrasEntry(10)->trigger();
    QCOMPARE(w->resultTable()->rowCount(), 0);
    QCOMPARE(w->resultTable()->columnCount(), 13);
    QCOMPARE(w->resultTable()->cellText(0, 3), QStringLiteral("24064"));
    QCOMPARE(w->resultTable()->columnWidthTwips(2), 658);
}

void TestPresets::settingsFile_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<double>("preset");
    QTest::addColumn<QString>("name");
    QTest::newRow("first start without a file") << QByteArray() << 1.0 << "";
    QTest::newRow("preset five") << QByteArray(" 5 \r\n/tmp/x.sfr\r\n") << 5.0 << "/tmp/x.sfr";
    QTest::newRow("one line only") << QByteArray(" 3 \r\n") << 3.0 << "";
    QTest::newRow("not a number") << QByteArray("abc\r\n/tmp/y.sfr\r\n") << 1.0 << "/tmp/y.sfr";
    QTest::newRow("out of range") << QByteArray(" 12 \r\nname\r\n") << 1.0 << "name";
    QTest::newRow("fraction") << QByteArray(" 2.5 \r\nname\r\n") << 1.0 << "name";
    QTest::newRow("empty file") << QByteArray("") << 1.0 << "";
    QTest::newRow("comma, blanks and umlauts")
        << QByteArray(" 0 \r\n/home/bahn/Gleise, H0 M\xc3\xa4rklin.sfr\r\n") << 0.0
        << QString::fromUtf8("/home/bahn/Gleise, H0 Märklin.sfr");
    QTest::newRow("Windows-1252 name")
        << QByteArray(" 0 \r\nM\xe4rklin.sfr\r\n") << 0.0 << QString::fromUtf8("Märklin.sfr");
}

void TestPresets::settingsFile() {
    QFETCH(QByteArray, content);
    QFETCH(double, preset);
    QFETCH(QString, name);
    if (!content.isNull())
        writeSettings(content);
    w = Kern::Main();
    QCOMPARE(w->screenScale().preset, preset);
    QCOMPARE(w->currentTrackFile(), name);
    QVERIFY(w->extrasEntry(10 + int(preset))->isChecked());
    const Kern::PresetFactors factors = Kern::Presets[std::size_t(preset)];
    QVERIFY(qAbs(outer(w).width() - float(factors.x * 9735 + 60)) <= 15);
    QVERIFY(qAbs(outer(w).height() - float(factors.y * 9315)) <= 15);
    // Right after start-up the caption shows no file name.
    QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix"));
    // Written back as read (the round trip).
    w->close();
    QFile f(Kern::SettingsFilePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()),
             QStringLiteral(" %1 \r\n%2\r\n").arg(int(preset)).arg(name));
}

void TestPresets::rememberedTrackFileLoadsSilently() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h0.sfr"));
    QFile t(path);
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write("111.1\r\nH0-1\r\n2,50\r\n");
    t.close();
    writeSettings(" 0 \r\n" + path.toUtf8() + "\r\n");
    w = Kern::Main();
    QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("111.1"));
    QCOMPARE(w->articleBox(1)->text(), QStringLiteral("H0-1"));
    QCOMPARE(w->lengthBox(2)->text(), QStringLiteral("70.8"));
    delete w;
    // A remembered file that has gone is not reported.
    QFile::remove(path);
    w = Kern::Main();
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("64.3"));
    QCOMPARE(w->currentTrackFile(), path);
}

void TestPresets::specialFilesNeverHoldUpTheStart_data() {
    QTest::addColumn<QString>("settings"); // "fifo", "zero" or the file's content
    QTest::addColumn<QString>("remembered");
    QTest::newRow("settings file is a FIFO") << "fifo"
                                             << "";
    QTest::newRow("settings file is an endless device") << "zero"
                                                        << "";
    QTest::newRow("remembered file is a FIFO") << " 0 \r\n%1\r\n"
                                               << "fifo";
    QTest::newRow("remembered file is an endless device") << " 0 \r\n%1\r\n"
                                                          << "/dev/zero";
}

void TestPresets::specialFilesNeverHoldUpTheStart() {
    QFETCH(QString, settings);
    QFETCH(QString, remembered);
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    const QString path = Kern::SettingsFilePath();
    QFile::remove(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (remembered == QLatin1String("fifo"))
        remembered = fifo;
    if (settings == QLatin1String("fifo"))
        QVERIFY(QFile::link(fifo, path));
    else if (settings == QLatin1String("zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    else
        writeSettings(settings.arg(remembered).toUtf8());

    w = Kern::Main();
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(w->lengthBox(1)->text(), QStringLiteral("64.3"));
    QCOMPARE(w->currentTrackFile(), remembered);
    QCOMPARE(w->screenScale().preset, remembered.isEmpty() ? 1.0 : 0.0);
    // Closing does not wait on it either, and never puts a file in a device's place.
    w->close();
    struct stat st {};
    QVERIFY(::stat("/dev/zero", &st) == 0 && S_ISCHR(st.st_mode));
}

void TestPresets::nameWithLineBreakIsNotRemembered() {
    // Read back, such a name would be cut at the break and name another file.
    for (const char* name : {"/tmp/Gleise\n/etc/passwd", "/tmp/Gleise\r.sfr"}) {
        w = Kern::Main();
        w->setCurrentTrackFile(QString::fromLatin1(name));
        w->close();
        delete w;
        w = nullptr;
        QFile f(Kern::SettingsFilePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(" 1 \r\n\r\n"));
    }
}

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
