#pragma once

#include "drucken.h"

#include <QDialog>
#include <QImage>

#include <memory>

class QAction;
class QMenu;
class QMenuBar;
class QPageLayout;
class QPrintPreviewWidget;
class QPrinter;
class PrinterChoice;

// The print preview: the result document page by page, printed or set up from its own menu.
// The document is built while the window is still hidden (buildPages); Dru_Bausteine builds
// and then shows the window modally.
//
// The document is laid out at 96 dots per inch in a page of the printer's printable size, so the
// preview and every printer see the same line breaks and the same page breaks.
class DruBild : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignWidthTwips = 9435;
    static constexpr int DesignHeightTwips = 5970;

    // printing: the printer set-up of the run, which the window starts with and keeps up to date
    // with what the user chooses; it must outlive the window.
    explicit DruBild(PrinterChoice& printing, QWidget* parent = nullptr);
    ~DruBild() override;

    QPrintPreviewWidget* HighEdit1 = nullptr;

    // Builds the pages, gives back the run's busy pointer, then shows the window modally until
    // it is closed. Nothing is shown when the pages could not be built.
    void Dru_Bausteine(Drucken::PrintRun& run);
    // One copy of the run's template per 50 grid rows, each filled by Drucken::FillPageTable,
    // each after the first on a page of its own; false when there is no template to copy.
    bool buildPages(const Drucken::PrintRun& run);

    // Prints the document on printer, laid out for its page: the printer's page range, else
    // every page. A failure is reported to the user. Returns success.
    bool printOn(QPrinter* printer);

    // The print dialog (a printer or a PDF file), then printing. The printer, file and page
    // accepted there are kept for the next preview.
    void Menu_DateiDruck_Click();
    // The choice of printer, then the page set-up of that printer; cancelling either keeps the
    // set-up as it was, accepting both keeps it for the next preview.
    void Menu_DateiDruckSet_Click();
    void Menu_DateiEnde_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Resize();
    void layOutFor(const QPageLayout& layout);
    void placePageBreaks();
    bool leavesPageEmpty(const QTextBlock& block) const;
    bool drawPages(QPrinter* printer);

    QImage m_metricsDevice;      // gives the layout its fixed resolution
    SelfContainedDocument m_doc; // a child of the window, discarded with it
    QSizeF m_pageSize;           // the printer's printable size at 96 dpi
    std::unique_ptr<QPrinter> m_printer;
    PrinterChoice& m_printing;
    QMenuBar* m_menuBar = nullptr;
    QMenu* Menu_Datei = nullptr;
    QAction* Menu_DateiDruck = nullptr;
    QAction* Menu_DateiDruckSet = nullptr;
    QAction* Menu_DateiSep2 = nullptr;
    QAction* Menu_DateiEnde = nullptr;
};
