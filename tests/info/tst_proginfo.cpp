#include "ProgInfo.h"
#include "modalhelper.h"
#include "sfx_version.h"
#include "sysinfo.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TstProgInfo : public QObject {
    Q_OBJECT

    QByteArray m_path;

private slots:
    void init() { m_path = qgetenv("PATH"); }
    void cleanup() { qputenv("PATH", m_path); }

    // The version line follows the build; the blank lines set the texts apart in their boxes.
    void captionAndTexts() {
        ProgInfo dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Schotterfix-Info"));
        QCOMPARE(dlg.lblTitle->text(), QStringLiteral("Schotterfix"));
        const QStringList version = dlg.lblVersion->text().split(QStringLiteral("\r\n"));
        QCOMPARE(version.size(), 8);
        QCOMPARE(version[3], QStringLiteral("Version 03.2014  Stand " SFX_VERSION_STRING));
        QVERIFY(version[7].startsWith(QStringLiteral("Copyright")));
        QCOMPARE(dlg.lblDescription->text().split(QStringLiteral("\r\n")).value(2),
                 QStringLiteral("Entwicklung und Vertrieb"));
        // The picture is the program icon, whole and inside its place.
        const QPixmap picture = dlg.Image1->pixmap();
        QVERIFY(picture.width() > 200);
        QVERIFY(picture.width() <= dlg.Image1->width() && picture.height() <= dlg.Image1->height());
        QVERIFY(
            !(dlg.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
    }

    void keysClose_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter) << int(QDialog::Accepted);
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void keysClose() {
        QFETCH(int, key);
        QFETCH(int, result);
        ProgInfo dlg;
        TestHelp::answerModalOf<ProgInfo>([&](ProgInfo* shown) {
            if (QTest::qWaitForWindowActive(shown)) {
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : shown, Qt::Key(key));
            }
            if (shown->isVisible())
                shown->done(-1); // the key did not close it
        });
        QCOMPARE(dlg.exec(), result);
    }

    void systemInformation_data() {
        QTest::addColumn<QString>("tool");       // file put into the only PATH folder
        QTest::addColumn<QByteArray>("content"); // its content; %1 stands for the marker file
        QTest::addColumn<bool>("onPath");
        QTest::addColumn<bool>("starts");
        const QString last = SysInfo::toolCandidates().last();
        const QByteArray script("#!/bin/sh\necho started > '%1'\n");
        QTest::newRow("tool on the PATH is started") << last << script << true << true;
        QTest::newRow("empty PATH: message") << last << QByteArray() << false << false;
        QTest::newRow("tool that cannot run: message")
            << SysInfo::toolCandidates().first() << QByteArray("no program\n") << true << false;
        QTest::newRow("other programs only: message") << "sh" << script << true << false;
    }
    void systemInformation() {
        QFETCH(QString, tool);
        QFETCH(QByteArray, content);
        QFETCH(bool, onPath);
        QFETCH(bool, starts);
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started"));
        QFile file(dir.filePath(tool));
        if (!content.isEmpty()) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content.replace("%1", QFile::encodeName(marker)));
            file.close();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        qputenv("PATH", onPath ? QFile::encodeName(dir.path()) : QByteArray());

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
