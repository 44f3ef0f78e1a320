#include "drubild.h"

#include "drucken.h"
#include "twips.h"
#include "windowplacement.h"

#include <QAction>
#include <QGraphicsView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {
const QString PrintFailedText = QStringLiteral("Der Druck konnte nicht ausgeführt werden.");
const QString PrintTitle = QStringLiteral("Drucken");
const QString DocumentTitle = QStringLiteral("SchotF Druckausgabe 2014");

} // namespace

DruBild::DruBild(QWidget* parent) : QDialog(parent), m_document(std::make_unique<PrintDocument>()) {
    setObjectName(QStringLiteral("DruBild"));
    setWindowTitle(QStringLiteral("Quorbel - Druckvorschau"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    m_document->textDocument()->setMetaInformation(QTextDocument::DocumentTitle, DocumentTitle);
    m_document->printer()->setDocName(DocumentTitle);

    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    Menu_Datei = m_menuBar->addMenu(QStringLiteral("&Datei"));
    Menu_Datei->setObjectName(QStringLiteral("Menu_Datei"));
    Menu_DateiDruck = Menu_Datei->addAction(QStringLiteral("&Drucken..."));
    Menu_DateiDruck->setObjectName(QStringLiteral("Menu_DateiDruck"));
    Menu_DateiDruckSet = Menu_Datei->addAction(QStringLiteral("Drucker &einrichten..."));
    Menu_DateiDruckSet->setObjectName(QStringLiteral("Menu_DateiDruckSet"));
    Menu_DateiSep2 = Menu_Datei->addSeparator();
    Menu_DateiSep2->setObjectName(QStringLiteral("Menu_DateiSep2"));
    Menu_DateiEnde = Menu_Datei->addAction(QStringLiteral("&Beenden"));
    Menu_DateiEnde->setObjectName(QStringLiteral("Menu_DateiEnde"));
    connect(Menu_DateiDruck, &QAction::triggered, this, &DruBild::Menu_DateiDruck_Click);
    connect(Menu_DateiDruckSet, &QAction::triggered, this, &DruBild::Menu_DateiDruckSet_Click);
    connect(Menu_DateiEnde, &QAction::triggered, this, &DruBild::Menu_DateiEnde_Click);

    HighEdit1 = new QPrintPreviewWidget(m_document->printer(), this);
    HighEdit1->setObjectName(QStringLiteral("HighEdit1"));
    HighEdit1->setViewMode(QPrintPreviewWidget::SinglePageView);
    // The same light grey around the pages as behind the window.
    HighEdit1->setAccessibleName(QStringLiteral("Druckvorschau"));
    if (auto* view = HighEdit1->findChild<QGraphicsView*>()) {
        view->setBackgroundBrush(QColor(192, 192, 192));
        // The view inside is what takes the focus; it speaks for the preview.
        view->setAccessibleName(HighEdit1->accessibleName());
    }
    connect(HighEdit1, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { m_document->printTo(printer); });
    // A hidden preview draws nothing: its pages are drawn when it is shown.
    connect(m_document.get(), &PrintDocument::changed, this, [this] {
        applyViewSwitches();
        if (isVisible())
            HighEdit1->updatePreview();
        else
            m_previewPending = true;
    });
    applyViewSwitches();

    const int menuHeight = m_menuBar->sizeHint().height();
    resize(Twips::toPx(DesignWidthTwips, this), Twips::toPx(DesignHeightTwips, this) + menuHeight);
    Form_Resize();
}

DruBild::~DruBild() {
    // The preview paints through the document's printer; it goes first.
    delete HighEdit1;
    HighEdit1 = nullptr;
}

void DruBild::applyViewSwitches() {
    HighEdit1->setZoomMode(m_document->pageWidthView() ? QPrintPreviewWidget::FitToWidth
                                                       : QPrintPreviewWidget::FitInView);
}

void DruBild::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void DruBild::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The pages are drawn only once the window shows them.
    if (m_previewPending) {
        m_previewPending = false;
        HighEdit1->updatePreview();
    }
    if (event->spontaneous())
        return;
    // Centred over the main window, frame included, and centred again once the window manager
    // has put its frame around it, so that every opening lands on the same place.
    WindowPlacement::keep(this, [this] {
        const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
        const QScreen* screen = owner ? owner->screen() : this->screen();
        if (owner)
            WindowPlacement::centreIn(this, owner->frameGeometry());
        else if (screen)
            WindowPlacement::centreIn(this, screen->availableGeometry());
    });
}

// The menu bar sits above the client area; the document fills all of the client area.
void DruBild::Form_Resize() {
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    if (HighEdit1)
        HighEdit1->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
}

bool DruBild::buildPages(Drucken::PrintRun& run) {
    PrintDocument& doc = *m_document;
    const int pages = Drucken::pageCount(run.grid);
    for (int page = 1; page <= pages; ++page) {
        if (!run.pageTemplate || !doc.insertDocument(*run.pageTemplate))
            return false;
        doc.moveToEnd();
        PrintDocument::Position pos = doc.position();
        doc.setPosition(pos.part, pos.offset - 1);
        if (!Drucken::FillPageTable(run, doc, page))
            return false;
        doc.moveToEnd();
        pos = doc.position();
        doc.setPosition(pos.part, pos.offset - 1);
        // No page query first: it would lay the document out page by page. A break where the
        // next copy starts a page anyway is dropped when the document is laid out.
        if (page < pages)
            doc.insertPageBreak();
    }
    doc.layOut(true);
    doc.moveToStart();
    doc.setSwitches(true, true, false);
    doc.setReadOnly(true);
    Drucken::setBusy(run, false);
    return true;
}

void DruBild::Dru_Bausteine(Drucken::PrintRun& run) {
    if (buildPages(run))
        exec();
}

bool DruBild::printOn(QPrinter* printer) {
    const bool ok = m_document->printTo(printer);
    if (!ok)
        reportPrintFailure();
    return ok;
}

void DruBild::reportPrintFailure() {
    QMessageBox::warning(this, PrintTitle, PrintFailedText, QMessageBox::Ok);
}

void DruBild::Menu_DateiDruck_Click() {
    if (m_document->print(this) == PrintDocument::PrintOutcome::Failed)
        reportPrintFailure();
}

void DruBild::Menu_DateiDruckSet_Click() {
    if (m_document->printerSetup(this))
        HighEdit1->updatePreview();
}

void DruBild::Menu_DateiEnde_Click() {
    close();
}
