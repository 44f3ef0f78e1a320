#include "ProgInfo.h"
#include "programicon.h"
#include "sysinfo.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// Answers every message box that shows up while it lives, remembering what it said.
class MessageWatcher : public QObject {
public:
    MessageWatcher() {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++count;
            title = box->windowTitle();
            text = box->text();
            hasOk = box->button(QMessageBox::Ok) != nullptr;
            if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->close();
        });
        m_timer.start(10);
    }
    int count = 0;
    bool hasOk = false;
    QString title;
    QString text;

private:
    QTimer m_timer;
};

class TstProgInfo : public QObject {
    Q_OBJECT

    QByteArray m_path;

private slots:
    void init() { m_path = qgetenv("PATH"); }
    void cleanup() { qputenv("PATH", m_path); }

    void captionAndTexts() {
        ProgInfo dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Schotterfix-Info"));
        QCOMPARE(dlg.lblTitle->text(), QStringLiteral("Schotterfix"));
        const QString crlf = QStringLiteral("\r\n");
        const QString version = dlg.lblVersion->text();
        const QString block =
            crlf.repeated(3) + QStringLiteral("Version 03.2014  Stand 2.0.5") + crlf.repeated(4);
        QVERIFY2(version.startsWith(block), qPrintable(version));
        const QString copyright = version.mid(block.size());
        QVERIFY(copyright.contains(QStringLiteral("Copyright")) && !copyright.contains(crlf));
        QVERIFY(dlg.lblDescription->text().startsWith(
            crlf.repeated(2) + QStringLiteral("Entwicklung und Vertrieb") + crlf.repeated(2)));

        // The picture is the program icon, whole and inside its place.
        const QPixmap picture = dlg.Image1->pixmap();
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() <= dlg.Image1->width() && picture.height() <= dlg.Image1->height());
        QVERIFY(picture.width() > 200);
        QVERIFY(Info::ProgramIcon().availableSizes().contains(QSize(256, 256)));
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
        bool pressed = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == &dlg && QTest::qWaitForWindowActive(modal)) {
                QWidget* focus = QApplication::focusWidget();
                QTest::keyClick(focus ? focus : modal, Qt::Key(key));
                pressed = true;
            }
            if (dlg.isVisible())
                dlg.done(-1); // the key did not close it
        });
        const int answer = dlg.exec();
        QVERIFY(pressed);
        QCOMPARE(answer, result);
        QVERIFY(!dlg.isVisible());
    }

    void systemInformation_data() {
        QTest::addColumn<QString>("tool");       // file put into the only PATH folder
        QTest::addColumn<QByteArray>("content"); // its content; %1 stands for the marker file
        QTest::addColumn<bool>("onPath");
        QTest::addColumn<bool>("starts");
        const QString last = SysInfo::toolCandidates().last();
        QTest::newRow("tool on the PATH is started")
            << last << QByteArray("#!/bin/sh\necho started > '%1'\n") << true << true;
        QTest::newRow("empty PATH: message") << last << QByteArray() << false << false;
        QTest::newRow("tool that cannot run: message")
            << SysInfo::toolCandidates().first() << QByteArray("no program, just text\n") << true
            << false;
        QTest::newRow("other programs only: message")
            << QStringLiteral("sh") << QByteArray("#!/bin/sh\necho started > '%1'\n") << true
            << false;
    }
    void systemInformation() {
        QFETCH(QString, tool);
        QFETCH(QByteArray, content);
        QFETCH(bool, onPath);
        QFETCH(bool, starts);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString marker = dir.filePath(QStringLiteral("started"));
        const QString bin = dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        if (!content.isEmpty()) {
            QFile file(QDir(bin).filePath(tool));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content.contains("%1") ? QString::fromUtf8(content).arg(marker).toUtf8()
                                              : content);
            file.close();
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        qputenv("PATH", onPath ? QFile::encodeName(bin) : QByteArray());

        ProgInfo dlg;
        MessageWatcher watcher;
        dlg.cmdSysInfo->click();
        if (starts) {
            QCOMPARE(watcher.count, 0);
            QTRY_VERIFY(QFile::exists(marker));
        } else {
            QCOMPARE(watcher.count, 1);
            QCOMPARE(watcher.title, QStringLiteral("Schotterfix"));
            QCOMPARE(watcher.text,
                     QStringLiteral("System-Informationen sind augenblicklich nicht verfügbar."));
            QVERIFY(watcher.hasOk);
            QVERIFY(!QFile::exists(marker));
        }
    }
};

QTEST_MAIN(TstProgInfo)
#include "tst_proginfo.moc"
