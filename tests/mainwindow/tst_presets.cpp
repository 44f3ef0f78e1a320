// Screen presets and the settings file on the real main window.
#include "clsResize.h"
#include "datarow.h"
#include "filefaults.h"
#include "kernmain.h"
#include "modalhelper.h"
#include "resulttablemodel.h"
#include "seite1.h"
#include "settings.h"
#include "twips.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
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

namespace {

// Where a frame's border begins, as painted: the first row whose right edge is not background
// (the caption sits on the left).
int borderTop(QWidget* frame) {
    const QImage img = frame->grab().toImage();
    const QRgb background = frame->palette().color(QPalette::Window).rgb();
    for (int y = 0; y < img.height(); ++y)
        if (img.pixel(img.width() - 1, y) != background ||
            img.pixel(img.width() - 2, y) != background)
            return y;
    return img.height();
}

int childrenTop(const QWidget* w) {
    int top = w->height();
    for (const QWidget* inside : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!inside->isHidden())
            top = std::min(top, inside->y());
    return top;
}

// The texts of the main window that do not show whole in their controls, as "key: text".
QStringList clippedTexts(const Seite1* w) {
    QStringList clipped;
    auto check = [&](const QWidget* c, const QString& text, bool fits) {
        if (!fits)
            clipped << c->objectName() + c->property("index").toString() + ": " + text;
    };
    auto plain = [](QString text) { return text.remove(QRegularExpression("&(?!&)")); };
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->isVisibleTo(w)) // what is never shown cannot be cut off
            continue;
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

} // namespace

class TestPresets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() {
        delete w;
        w = nullptr;
        QFile::remove(Kern::settingsFilePath());
    }

    void everyPresetLaysOutTheWindow_data() {
        QTest::addColumn<int>("entry");
        for (int p = 0; p < 12; ++p)
            QTest::addRow("preset %d", p) << 10 + p;
    }

    // For each preset: the window's size against the screen its entry names, its controls and
    // result grid, its place; every caption, label, button text and grid heading shows whole,
    // before and after a search, and no frame's border runs through the controls inside it.
    void everyPresetLaysOutTheWindow() {
        QFETCH(int, entry);
        w = Kern::Main();
        w->extrasEntry(entry)->trigger();
        QCOMPARE(w->screenScale().preset, double(entry - 10));
        for (int i = 10; i <= 21; ++i)
            QCOMPARE(w->extrasEntry(i)->isChecked(), i == entry);
        // About four fifths of the named screen's width and all of its height.
        const QStringList named = w->extrasEntry(entry)->text().remove('&').split(" x ");
        const double wide = Twips::toPx(outer(w).width(), w) / named.value(0).toDouble();
        const double high = Twips::toPx(outer(w).height(), w) / named.value(1).toDouble();
        QVERIFY2(wide > 0.8 && wide < 0.82 && high >= 0.995 && high < 1.04,
                 qPrintable(QStringLiteral("%1 x %2").arg(wide).arg(high)));
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
        QVERIFY(qAbs(w->startButton()->font().pointSizeF() -
                     design->Fontsize() * std::min(rx, ry)) < 0.05);
        // The result grid follows: its columns make 9225 twips times the horizontal factor.
        int gridWidth = 0;
        for (int c = 0; c < w->resultTable()->columnCount(); ++c)
            gridWidth += w->grid()->columnWidth(c);
        QVERIFY(qAbs(gridWidth - Twips::toPx(9225 * w->screenScale().x, w)) <= 15);
        // Centred horizontally, 150 twips times the vertical factor above the vertical centre; but
        // the title bar of "1&600 x 1200", taller than the 1200 pixels of the screen, stays on it.
        const QRect screen = w->screen()->geometry();
        const double left = (Twips::fromPx(screen.width(), w) - outer(w).width()) / 2;
        const double top = std::max(
            (Twips::fromPx(screen.height(), w) - outer(w).height() - 300 * w->screenScale().y) / 2,
            Twips::fromPx(w->screen()->availableGeometry().top(), w));
        QVERIFY(qAbs(Twips::outerPos(w).x() - left) <= 15);
        QVERIFY(qAbs(Twips::outerPos(w).y() - top) <= 15);

        QStringList clipped = clippedTexts(w);
        w->startButton()->click();
        QTRY_COMPARE(w->resultTable()->rowCount(), 4);
        clipped << clippedTexts(w);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral(" | "))));
    }

    // A preset lays the grid out anew and keeps what it shows: the rows in their sorted order,
    // the sort direction, the selection; the label, printing and copying go on with them.
    // Chosen again, a preset centres the window anew.
    void presetKeepsTheResult() {
        w = Kern::Main();
        w->startButton()->click();
        QTRY_VERIFY(!w->searchRunning());
        const QString label = w->resultLabel()->text();
        w->Grid_Click(11); // ascending by "Anzahl Gleise": the order of discovery reversed
        QTableView* grid = w->grid();
        grid->selectRow(1);
        w->extrasEntry(15)->trigger();
        QCOMPARE(grid->columnWidth(3), Twips::toPx(1132, w)); // 5925 x 1.72 / 9
        QCOMPARE(w->resultLabel()->text(), label);
        QVERIFY(w->sortAscendingFlag());
        QStringList order;
        for (int r = 1; r <= w->resultTable()->rowCount(); ++r)
            order << w->resultTable()->cellText(r, 0);
        QCOMPARE(order.join(' '), QStringLiteral("4 3 2 1"));
        QApplication::clipboard()->clear();
        grid->setFocus();
        QTest::keySequence(grid, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text().section('\n', 2, 2).section('\t', 0, 0), "3");
        QString printed;
        TestHelp::answerModal([&](QWidget* modal) {
            printed = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        });
        w->dateiEntry(4)->trigger();
        QCOMPARE(printed, QStringLiteral("DruBild"));

        const QPointF centred = Twips::outerPos(w);
        w->move(10, 10);
        w->extrasEntry(15)->trigger();
        QCOMPARE(Twips::outerPos(w), centred);
        QVERIFY(w->extrasEntry(15)->isChecked());
    }

    void settingsFile_data() {
        dataColumns<QByteArray, double, QString>({"content", "preset", "name"}); // null: no file
        dataRow("first start without a file", QByteArray(), 1.0, "");
        dataRow("preset five", QByteArray(" 5 \r\n/tmp/x.sfr\r\n"), 5.0, "/tmp/x.sfr");
        dataRow("one line without its break", QByteArray(" 3 "), 3.0, "");
        dataRow("not a number", QByteArray("abc\r\n/tmp/y.sfr\r\n"), 1.0, "/tmp/y.sfr");
        dataRow("out of range", QByteArray(" 12 \r\nname\r\n"), 1.0, "name");
        dataRow("fraction", QByteArray(" 2.5 \r\nname\r\n"), 1.0, "name");
        dataRow("comma, blanks and umlauts",
                QByteArray(" 0 \r\n/home/bahn/Gleise, H0 M\xc3\xa4rklin.sfr\r\n"), 0.0,
                QString::fromUtf8("/home/bahn/Gleise, H0 Märklin.sfr"));
        dataRow("Windows-1252 name", QByteArray(" 0 \r\nM\xe4rklin.sfr\r\n"), 0.0,
                QString::fromUtf8("Märklin.sfr"));
    }

    void settingsFile() {
        QFETCH(QByteArray, content);
        QFETCH(double, preset);
        QFETCH(QString, name);
        if (!content.isNull())
            writeSettings(content);
        w = Kern::Main();
        QCOMPARE(w->screenScale().preset, preset);
        QCOMPARE(w->currentTrackFile(), name);
        QVERIFY(w->extrasEntry(10 + int(preset))->isChecked());
        // Right after start-up the caption shows no file name.
        QCOMPARE(w->windowTitle(), QStringLiteral("Kuppli's Schotterfix"));
        // Written back as read (the round trip).
        w->close();
        QCOMPARE(QString::fromUtf8(TestHelp::contentOf(Kern::settingsFilePath())),
                 QStringLiteral(" %1 \r\n%2\r\n").arg(int(preset)).arg(name));
    }

    void rememberedFile_data() {
        // settings: "fifo" or the file's content, %1 standing for the remembered file
        dataColumns<QString, QString, QString>({"settings", "remembered", "length"});
        dataRow("settings file is a FIFO", "fifo", "", "64.3");
        dataRow("remembered file is loaded", " 0 \r\n%1\r\n", "track", "111.1");
        dataRow("remembered file is a FIFO", " 0 \r\n%1\r\n", "fifo", "64.3");
        dataRow("remembered file is an endless device", " 0 \r\n%1\r\n", "/dev/zero", "64.3");
    }

    // A remembered track file is loaded without a word when it can be read, and none of the files
    // read at start-up ever holds it up.
    void rememberedFile() {
        QFETCH(QString, settings);
        QFETCH(QString, remembered);
        QFETCH(QString, length);
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QString path = Kern::settingsFilePath();
        QFile::remove(path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (remembered == QLatin1String("fifo"))
            remembered = fifo;
        if (remembered == QLatin1String("track"))
            remembered = dir.filePath(QStringLiteral("track.sfr"));
        QVERIFY(
            TestHelp::put(dir.filePath(QStringLiteral("track.sfr")), "111.1\r\nH0-1\r\n2,50\r\n"));
        if (settings == QLatin1String("fifo"))
            QVERIFY(QFile::link(fifo, path));
        else
            writeSettings(settings.arg(remembered).toUtf8());

        w = Kern::Main();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(w->lengthBox(1)->text() + w->lengthBox(2)->text(), length + "70.8");
        QCOMPARE(w->currentTrackFile(), remembered);
        QCOMPARE(w->screenScale().preset, remembered.isEmpty() ? 1.0 : 0.0);
        // Closing does not wait on it either, and never puts a file in a device's place.
        w->close();
        struct stat st {};
        QVERIFY(::stat("/dev/zero", &st) == 0 && S_ISCHR(st.st_mode));
    }

private:
    static void writeSettings(const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(Kern::settingsFilePath()).absolutePath());
        QVERIFY(TestHelp::put(Kern::settingsFilePath(), bytes));
    }
    static QSizeF outer(const QWidget* w) { return Twips::outerSize(w); }
    Seite1* w = nullptr;
};

QTEST_MAIN(TestPresets)
#include "tst_presets.moc"
