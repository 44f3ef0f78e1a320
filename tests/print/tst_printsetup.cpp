// What printing keeps from one preview to the next, and where the print template comes from.
#include "datarow.h"
#include "filefaults.h"
#include "modalhelper.h"
#include "resultfixture.h"

#include <QtPrintSupport>
#include <QtTest>

namespace {

// The built-in template with a line of text before it: a form the printout can fill, told apart
// by that line.
QByteArray markedForm(const QByteArray& mark) {
    QFile builtIn(QStringLiteral(":/print/Gleisliste.HED"));
    return builtIn.open(QIODevice::ReadOnly) ? "<p>" + mark + "</p>" + builtIn.readAll()
                                             : QByteArray();
}

// "A5 landscape": the page a printer prints on.
QString pageOf(const QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    return layout.pageSize().key() +
           (layout.orientation() == QPageLayout::Landscape ? " landscape" : " portrait");
}

// Width and height of a PDF's first page in points, as "595 x 420".
QString pdfPageSize(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(60000))
        return QStringLiteral("(no pdfinfo)");
    const QRegularExpression size(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    const QRegularExpressionMatch m = size.match(QString::fromUtf8(p.readAllStandardOutput()));
    if (!m.hasMatch())
        return QStringLiteral("(no page)");
    return QStringLiteral("%1 x %2")
        .arg(qRound(m.captured(1).toDouble()))
        .arg(qRound(m.captured(2).toDouble()));
}

} // namespace

class TestPrintSetup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // "Drucker einrichten" in one preview: a PDF file, then A5 landscape. The next preview's print
    // dialog starts with that file and page, and printing there writes it; a set-up cancelled at
    // the page leaves the next preview as the first one started.
    void setupCarriesIntoTheNextPreview_data() {
        dataColumns<bool, QString, QString>({"pageAccepted", "nextFile", "nextPage"});
        dataRow("PDF file and page kept", true, QStringLiteral("liste.pdf"),
                QStringLiteral("A5 landscape"));
        dataRow("cancelled at the page, nothing kept", false, QString(),
                QStringLiteral("A4 portrait"));
    }
    void setupCarriesIntoTheNextPreview() {
        QFETCH(bool, pageAccepted);
        QFETCH(QString, nextFile);
        QFETCH(QString, nextPage);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
        fillResults(m_grid, 8, 7);
        PrinterChoice printing;
        QStringList okEnabled;
        {
            Printout first(m_grid, dir.path(), printing);
            first.build();
            TestHelp::answerModalOf<QDialog>([&](QDialog* d) {
                auto* printers = d->findChild<QComboBox*>(QStringLiteral("Drucker"));
                auto* file = d->findChild<QLineEdit*>(QStringLiteral("Datei"));
                QPushButton* ok = d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                printers->setCurrentIndex(printers->count() - 1); // "PDF-Datei"
                file->clear();
                okEnabled << (ok->isEnabled() ? "without a file" : "");
                file->setText(pdf);
                okEnabled << (ok->isEnabled() ? "" : "with a file");
                ok->click();
            });
            TestHelp::answerModalOf<QPageSetupDialog>([&](QPageSetupDialog* d) {
                auto* sizes = d->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
                auto* landscape = d->findChild<QRadioButton*>(QStringLiteral("landscape"));
                if (!sizes || !landscape || !pageAccepted) {
                    d->reject();
                    return;
                }
                sizes->setCurrentIndex(
                    sizes->findData(QVariant::fromValue(QPageSize(QPageSize::A5))));
                landscape->click();
                d->accept();
            });
            first.preview.findChild<QAction*>(QStringLiteral("Menu_DateiDruckSet"))->trigger();
        }
        QCOMPARE(okEnabled, (QStringList{"", ""}));

        Printout next(m_grid, dir.path(), printing);
        next.build();
        QString offered;
        TestHelp::answerModalOf<QPrintDialog>([&](QPrintDialog* d) {
            offered =
                QFileInfo(d->printer()->outputFileName()).fileName() + '|' + pageOf(*d->printer());
            // Enter prints; only where the file is the test's own, never where Qt would put it.
            if (pageAccepted && offered == nextFile + '|' + nextPage)
                d->accept();
            else
                d->reject();
        });
        next.preview.findChild<QAction*>(QStringLiteral("Menu_DateiDruck"))->trigger();
        QCOMPARE(offered, nextFile + '|' + nextPage);
        if (pageAccepted)
            QCOMPARE(pdfPageSize(pdf), QStringLiteral("595 x 420"));
    }

    // The template of a print run: the first usable copy of the user's folder and the installed
    // folder, else the built-in one.
    void templateLookUp_data() {
        dataColumns<QByteArray, QByteArray, QString>({"user", "installed", "printed"});
        dataRow("the user's copy comes first", markedForm("Eigene Liste"),
                markedForm("Installierte Liste"), QStringLiteral("Eigene Liste"));
        dataRow("the installed one without a user's copy", QByteArray(),
                markedForm("Installierte Liste"), QStringLiteral("Installierte Liste"));
        dataRow("a user's copy that is no form leaves the installed one",
                QByteArray("<p>Eigene Liste</p>"), markedForm("Installierte Liste"),
                QStringLiteral("Installierte Liste"));
        dataRow("neither: the built-in one", QByteArray(), QByteArray(),
                QStringLiteral("Gleisliste"));
    }
    void templateLookUp() {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, installed);
        QFETCH(QString, printed);
        QTemporaryDir userDir;
        QTemporaryDir installedDir;
        for (const auto& [dir, content] : {std::pair(&userDir, user), {&installedDir, installed}}) {
            if (!content.isEmpty())
                QVERIFY(TestHelp::put(dir->filePath(Drucken::TemplateName), content));
        }
        fillResults(m_grid, 2, 3);
        Drucken::PrintRun run(m_grid, {userDir.path(), installedDir.path()});
        QVERIFY(run.page);
        const QString text = run.page->toPlainText();
        QVERIFY2(text.contains(printed), qPrintable(text.left(200)));
        QVERIFY(!text.contains(printed == "Eigene Liste" ? "Installierte" : "Eigene"));
    }

    // The program's own folders: a copy in the user's data folder is what a print run reads.
    void userDataFolderTemplate() {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString own = QDir(folder).filePath(Drucken::TemplateName);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(TestHelp::put(own, markedForm("Eigene Liste")));
        fillResults(m_grid, 2, 3);
        const Drucken::PrintRun run(m_grid);
        QFile::remove(own);
        QVERIFY(run.page && run.page->toPlainText().contains("Eigene Liste"));
    }

private:
    Kern::ResultTableModel m_grid;
};

QTEST_MAIN(TestPrintSetup)
#include "tst_printsetup.moc"
