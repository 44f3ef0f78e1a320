// The About window with its system information, and the help window at the screen presets.
#include "Hilfe_Form.h"
#include "ProgInfo.h"
#include "accessibility.h"
#include "datarow.h"
#include "filefaults.h"
#include "kern.h"
#include "modalhelper.h"
#include "sfx_version.h"
#include "sysinfo.h"
#include "twips.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTransform>
#include <QtTest>

// What one opening of the help window showed: window, place and size in twips, font, faults.
struct Opening {
    QPointer<Hilfe_Form> window;
    QRectF outer;
    double fontSize = 0;
    QStringList faults;
};

class TestInfo : public QObject {
    Q_OBJECT

    QWidget m_main;

    // Opens the help window as the main window does and closes it with "&schließen". Its text
    // shows the paragraphs, one a line, wrapped to the box; a screen reader names every control.
    Opening openHelp(double preset) {
        Opening seen;
        TestHelp::answerModalOf<Hilfe_Form>([&seen](Hilfe_Form* w) {
            if (QTest::qWaitForWindowActive(w)) {
                seen = {w, QRectF(Twips::outerPos(w), Twips::outerSize(w)),
                        w->Text1->font().pointSizeF(), unnamedOrSharedControls(w)};
                if (w->Text1->toPlainText().replace('\n', "\r\n") != Hilfe_Form::helpText())
                    seen.faults << "text";
                if (w->Text1->horizontalScrollBar()->maximum() > 0)
                    seen.faults << "not wrapped";
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

    // Corner by corner within two pixels (30 twips, both axes) of the design times the factors.
    static bool scaledNear(const QRectF& seen, const QRectF& design, double sx, double sy) {
        const QRectF want = QTransform::fromScale(sx, sy).mapRect(design);
        return (seen.topLeft() - want.topLeft()).manhattanLength() <= 30 &&
               (seen.bottomRight() - want.bottomRight()).manhattanLength() <= 30;
    }

private slots:
    void initTestCase() {
        m_main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_main));
    }

    // The version line follows the build, the picture fits its place, a screen reader names every
    // control and the picture; shown centred on the screen and closed by Enter wherever the focus.
    void about() {
        ProgInfo dlg;
        QCOMPARE(dlg.lblVersion->text().split(QStringLiteral("\r\n")).value(3),
                 QStringLiteral("Version 03.2014  Stand " SFX_VERSION_STRING));
        const QSize picture = dlg.Image1->pixmap().size();
        QVERIFY(picture.width() > 200 && picture.boundedTo(dlg.Image1->size()) == picture);
        QCOMPARE(unnamedOrSharedControls(&dlg), QStringList());
        QVERIFY(!accessibleName(dlg.Image1).isEmpty());

        QPoint centre;
        TestHelp::answerModalOf<ProgInfo>([&](ProgInfo* shown) {
            if (QTest::qWaitForWindowActive(shown)) {
                centre = shown->frameGeometry().center();
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : shown, Qt::Key_Return);
            }
            if (shown->isVisible())
                shown->done(-1); // the key did not close it
        });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        const QPoint screen = dlg.screen()->availableGeometry().center();
        QVERIFY((centre - screen).manhattanLength() <= 2);
    }

    void systemInformation_data() {
        // a tool put into the only PATH folder; %1: the marker file in content, the folder in path
        dataColumns<QString, QByteArray, QByteArray, bool>({"tool", "content", "path", "starts"});
        const QString last = SysInfo::toolCandidates().last();
        const QByteArray script("#!/bin/sh\necho started > '%1'\n");
        const QByteArray folder("%1");
        dataRow("tool on the PATH is started", last, script, folder, true);
        dataRow("empty PATH: message", last, script, QByteArray(), false);
        dataRow("relative PATH entry: message", last, script, QByteArray("."), false);
        dataRow("tool that cannot run: message", SysInfo::toolCandidates().first(),
                QByteArray("no program\n"), folder, false);
        dataRow("other programs only: message", "sh", script, folder, false);
    }
    void systemInformation() {
        QFETCH(QString, tool);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, path);
        QFETCH(bool, starts);
        const auto restore = qScopeGuard([oldPath = qgetenv("PATH"), cwd = QDir::currentPath()] {
            qputenv("PATH", oldPath);
            QDir::setCurrent(cwd);
        });
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started"));
        const QString program = dir.filePath(tool);
        QVERIFY(TestHelp::put(program, content.replace("%1", QFile::encodeName(marker))));
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("PATH", path.replace("%1", QFile::encodeName(dir.path())));
        QDir::setCurrent(dir.path());

        ProgInfo dlg;
        QString seen;
        const QPointer<QTimer> watch = TestHelp::noteMessage(&seen);
        dlg.cmdSysInfo->click();
        delete watch.data();
        QCOMPARE(seen, starts ? QString()
                              : QStringLiteral("Schotterfix|System-Informationen sind "
                                               "augenblicklich nicht verfügbar."));
        QTRY_COMPARE(QFile::exists(marker), starts);
    }

    // The help window is shown again, not built anew, at the preset's factors, its font by the
    // smaller one; back at the design preset the font has not shrunk.
    void helpFollowsPreset_data() {
        dataColumns<double, double, double>({"preset", "sx", "sy"});
        dataRow("1280 x 800, unequal factors", 2.0, 1.6, 1.333333);
        dataRow("1376 x 768, font by the height", 5.0, 1.72, 1.28);
    }
    void helpFollowsPreset() {
        QFETCH(double, preset);
        QFETCH(double, sx);
        QFETCH(double, sy);
        const Opening design = openHelp(0);
        QVERIFY(scaledNear(design.outer, QRectF(4005, 1605, 6000, 5625), 1, 1));
        const Opening seen = openHelp(preset);
        QVERIFY(seen.window && seen.window == design.window);
        QCOMPARE(design.faults + seen.faults, QStringList());
        QVERIFY(scaledNear(seen.outer, design.outer, sx, sy));
        QVERIFY(qAbs(seen.fontSize - design.fontSize * std::min(sx, sy)) < 0.01);
        const Opening back = openHelp(0);
        QCOMPARE(back.fontSize, design.fontSize);
        QCOMPARE(back.outer, design.outer);
    }
};

QTEST_MAIN(TestInfo)
#include "tst_info.moc"
