#include "ProgInfo.h"
#include "accessibility.h"
#include "modalhelper.h"
#include "sfx_version.h"
#include "sysinfo.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class TstProgInfo : public QObject {
    Q_OBJECT

    QByteArray m_path;
    QString m_cwd;

private slots:
    void init() {
        m_path = qgetenv("PATH");
        m_cwd = QDir::currentPath();
    }
    void cleanup() {
        qputenv("PATH", m_path);
        QDir::setCurrent(m_cwd);
    }

    // The version line follows the build.
    void versionPictureAndNames() {
        ProgInfo dlg;
        QCOMPARE(dlg.lblVersion->text().split(QStringLiteral("\r\n")).value(3),
                 QStringLiteral("Version 03.2014  Stand " SFX_VERSION_STRING));
        // The picture is the program icon, whole and inside its place.
        const QPixmap picture = dlg.Image1->pixmap();
        QVERIFY(picture.width() > 200);
        QCOMPARE(picture.width(), picture.height());
        QVERIFY(picture.width() <= dlg.Image1->width() && picture.height() <= dlg.Image1->height());
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        // A screen reader names every control and the picture.
        QCOMPARE(unnamedOrSharedControls(&dlg), QStringList());
        QVERIFY(!accessibleName(dlg.Image1).isEmpty());
    }

    // Enter closes it wherever the focus is.
    void shownCentredAndClosedByEnter() {
        ProgInfo dlg;
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
        // Shown centred on the screen, frame included.
        const QPoint screen = dlg.screen()->availableGeometry().center();
        QVERIFY((centre - screen).manhattanLength() <= 2);
    }

    void systemInformation_data() {
        QTest::addColumn<QString>("tool");       // file put into the only PATH folder
        QTest::addColumn<QByteArray>("content"); // its content; %1 stands for the marker file
        QTest::addColumn<QByteArray>("path");    // %1 stands for the folder
        QTest::addColumn<bool>("starts");
        const QString last = SysInfo::toolCandidates().last();
        const QByteArray script("#!/bin/sh\necho started > '%1'\n");
        const QByteArray folder("%1");
        QTest::newRow("tool on the PATH is started") << last << script << folder << true;
        QTest::newRow("empty PATH: message") << last << script << QByteArray() << false;
        QTest::newRow("relative PATH entry: message") << last << script << QByteArray(".") << false;
        QTest::newRow("tool that cannot run: message")
            << SysInfo::toolCandidates().first() << QByteArray("no program\n") << folder << false;
        QTest::newRow("other programs only: message") << "sh" << script << folder << false;
    }
    void systemInformation() {
        QFETCH(QString, tool);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, path);
        QFETCH(bool, starts);
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started"));
        QFile file(dir.filePath(tool));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content.replace("%1", QFile::encodeName(marker)));
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("PATH", path.replace("%1", QFile::encodeName(dir.path())));
        QDir::setCurrent(dir.path());

        ProgInfo dlg;
        QString seen;
        QPointer<QTimer> watch = TestHelp::noteMessage(&seen);
        dlg.cmdSysInfo->click();
        if (starts) {
            delete watch;
            QVERIFY(seen.isEmpty());
            QTRY_VERIFY(QFile::exists(marker));
        } else {
            QCOMPARE(seen, QStringLiteral("Schotterfix|System-Informationen sind augenblicklich "
                                          "nicht verfügbar."));
            QVERIFY(!QFile::exists(marker));
        }
    }
};

QTEST_MAIN(TstProgInfo)
#include "tst_proginfo.moc"
