#include "drubild.h"
#include "drucken.h"
#include "resultfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {
// Answers the next modal dialog of type T once it is up; gives up after about five seconds.
template <typename T> void answerModal(std::function<void(T*)> answer, int triesLeft = 500) {
    QTimer::singleShot(10, [answer, triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
            answer(dialog);
        else if (triesLeft > 0)
            answerModal<T>(answer, triesLeft - 1);
    });
}

int twipsToPx(double twips, const QWidget* w) {
    return qRound(twips * w->screen()->logicalDotsPerInchX() / 1440.0);
}
} // namespace

class TestDruBild : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { Drucken::ClosePreview(); }
    void design();
    void previewFillsClientArea_data();
    void previewFillsClientArea();
    void printFromMenuIntoPdf();
    void failedPrintIsReported();
    void printerSetupCancelled();
    void endCloses();

private:
    DruBild* m_w = nullptr;
    QTemporaryDir m_dir;
};

void TestDruBild::init() {
    Drucken::SetTemplateDirectory(m_dir.path());
    fillResults(8, 7);
    Drucken::ClosePreview();
    Drucken::PrepareDocument();
    m_w = Drucken::Preview();
    QVERIFY(m_w->BuildPages());
}

void TestDruBild::design() {
    QCOMPARE(m_w->objectName(), QStringLiteral("DruBild"));
    QCOMPARE(m_w->windowTitle(), QStringLiteral("Quorbel - Druckvorschau"));
    QCOMPARE(m_w->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(m_w->HighEdit1->objectName(), QStringLiteral("HighEdit1"));
    QCOMPARE(m_w->HighEdit1->size(), QSize(twipsToPx(9435, m_w), twipsToPx(5970, m_w)));
    QCOMPARE(m_w->HighEdit1->pageCount(), 1);

    auto* menu = m_w->findChild<QMenu*>(QStringLiteral("Menu_Datei"));
    QVERIFY(menu);
    QCOMPARE(menu->title(), QStringLiteral("&Datei"));
    const QList<QAction*> actions = menu->actions();
    const QStringList names{"Menu_DateiDruck", "Menu_DateiDruckSet", "Menu_DateiSep2",
                            "Menu_DateiEnde"};
    const QStringList texts{"&Drucken...", "Drucker &einrichten...", "", "&Beenden"};
    QCOMPARE(actions.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(actions[i]->objectName(), names[i]);
        QCOMPARE(actions[i]->text(), texts[i]);
        QCOMPARE(actions[i]->isSeparator(), i == 2);
        QVERIFY(actions[i]->shortcut().isEmpty());
    }
}

void TestDruBild::previewFillsClientArea_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("larger") << QSize(1200, 900);
    QTest::newRow("smaller") << QSize(320, 200);
    QTest::newRow("wide and low") << QSize(1000, 120);
}

void TestDruBild::previewFillsClientArea() {
    QFETCH(QSize, size);
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    m_w->resize(size);
    QTRY_COMPARE(m_w->size(), size);
    const QRect preview = m_w->HighEdit1->geometry();
    const QMenuBar* bar = m_w->findChild<QMenuBar*>();
    QCOMPARE(preview.topLeft(), QPoint(0, bar->geometry().bottom() + 1));
    QCOMPARE(preview.bottomRight(), m_w->rect().bottomRight());
}

void TestDruBild::printFromMenuIntoPdf() {
    const QString pdf = m_dir.filePath(QStringLiteral("vorschau.pdf"));
    QPrinter* printer = m_w->document().printer();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    bool asked = false;
    answerModal<QPrintDialog>([&](QPrintDialog* d) {
        asked = true;
        d->accept();
    });
    m_w->findChild<QAction*>(QStringLiteral("Menu_DateiDruck"))->trigger();
    QVERIFY(asked);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
}

void TestDruBild::failedPrintIsReported() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_dir.filePath(QStringLiteral("fehlt/liste.pdf")));
    QString title;
    QString text;
    answerModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(!m_w->PrintOn(&printer));
    QCOMPARE(title, QStringLiteral("Drucken"));
    QCOMPARE(text, QStringLiteral("Der Druck konnte nicht ausgeführt werden."));
}

void TestDruBild::printerSetupCancelled() {
    const QPageLayout before = m_w->document().printer()->pageLayout();
    bool asked = false;
    answerModal<QPageSetupDialog>([&](QPageSetupDialog* d) {
        asked = true;
        d->reject();
    });
    m_w->findChild<QAction*>(QStringLiteral("Menu_DateiDruckSet"))->trigger();
    QVERIFY(asked);
    QVERIFY(m_w->document().printer()->pageLayout().isEquivalentTo(before));
}

void TestDruBild::endCloses() {
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    m_w->findChild<QAction*>(QStringLiteral("Menu_DateiEnde"))->trigger();
    QVERIFY(!m_w->isVisible());
}

QTEST_MAIN(TestDruBild)
#include "tst_drubild.moc"
