#include "drubild.h"

#include "printerchoice.h"
#include "twips.h"
#include "windowplacement.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QGraphicsView>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {
const QString DocumentTitle = QStringLiteral("SchotF Druckausgabe 2014");

} // namespace

DruBild::DruBild(PrinterChoice& printing, QWidget* parent)
    : QDialog(parent), m_metricsDevice(1, 1, QImage::Format_RGB32), m_doc(this),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)), m_printing(printing) {
    setObjectName(QStringLiteral("DruBild"));
    setWindowTitle(QStringLiteral("Quorbel - Druckvorschau"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    // 96 dpi expressed in dots per metre: 96 / 0.0254 = 3779.5, which the image reports back
    // as 96 after rounding.
    m_metricsDevice.setDotsPerMeterX(3780);
    m_metricsDevice.setDotsPerMeterY(3780);
    m_doc.documentLayout()->setPaintDevice(&m_metricsDevice);
    m_doc.setUseDesignMetrics(true);
    m_doc.setUndoRedoEnabled(false);
    m_doc.setDocumentMargin(0);
    m_doc.setDefaultFont(Drucken::printFont());
    m_doc.setMetaInformation(QTextDocument::DocumentTitle, DocumentTitle);
    m_printer->setDocName(DocumentTitle);
    // A German list goes on A4; the wider left margin leaves room for punching or pinning.
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 12, 10, 12),
                         QPageLayout::Millimeter);
    if (!m_printer->setPageLayout(a4))
        m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printing.applyTo(*m_printer);
    layOutFor(m_printer->pageLayout());

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

    // The preview draws its pages when it is first shown, and again after a printer set-up.
    HighEdit1 = new QPrintPreviewWidget(m_printer.get(), this);
    HighEdit1->setObjectName(QStringLiteral("HighEdit1"));
    HighEdit1->setViewMode(QPrintPreviewWidget::SinglePageView);
    HighEdit1->setZoomMode(QPrintPreviewWidget::FitToWidth);
    // The same light grey around the pages as behind the window.
    HighEdit1->setAccessibleName(QStringLiteral("Druckvorschau"));
    if (auto* view = HighEdit1->findChild<QGraphicsView*>()) {
        view->setBackgroundBrush(QColor(192, 192, 192));
        // The view inside is what takes the focus; it speaks for the preview.
        view->setAccessibleName(HighEdit1->accessibleName());
    }
    connect(HighEdit1, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { drawPages(printer); });

    const int menuHeight = m_menuBar->sizeHint().height();
    resize(Twips::toPx(DesignWidthTwips, this), Twips::toPx(DesignHeightTwips, this) + menuHeight);
    Form_Resize();
}

DruBild::~DruBild() {
    // The preview paints through the window's printer; it goes first.
    delete HighEdit1;
    HighEdit1 = nullptr;
}

void DruBild::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void DruBild::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
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

void DruBild::Dru_Bausteine(Drucken::PrintRun& run) {
    const bool built = buildPages(run);
    run.busy.release();
    if (built)
        exec();
}

void DruBild::Menu_DateiDruck_Click() {
    // The dialog sets the printer to the system's default printer as it is built; the choice put
    // back before it shows is what it offers, a PDF file included.
    const PrinterChoice chosen(*m_printer);
    QPrintDialog dialog(m_printer.get(), this);
    chosen.applyTo(*m_printer);
    dialog.setMinMax(1, std::max(1, m_doc.pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printing = PrinterChoice(*m_printer);
    printOn(m_printer.get());
}

void DruBild::Menu_DateiDruckSet_Click() {
    const PrinterChoice before(*m_printer);
    if (!choosePrinter(*m_printer, this))
        return;
    QPageSetupDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted) {
        before.applyTo(*m_printer);
        return;
    }
    m_printing = PrinterChoice(*m_printer);
    layOutFor(m_printer->pageLayout());
    HighEdit1->updatePreview();
}

void DruBild::Menu_DateiEnde_Click() {
    close();
}
