#pragma once

#include "printdocument.h"

#include <QDialog>

class QAction;
class QMenu;
class QMenuBar;
class QPrintPreviewWidget;
class QPrinter;
namespace Drucken {
struct PrintRun;
}

// The print preview: the result document page by page, printed or set up from its own menu.
// The document is built while the window is still hidden (buildPages); Dru_Bausteine builds
// and then shows the window modally.
class DruBild : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignWidthTwips = 9435;
    static constexpr int DesignHeightTwips = 5970;

    explicit DruBild(QWidget* parent = nullptr);
    ~DruBild() override;

    PrintDocument& document() { return *m_document; }
    QPrintPreviewWidget* HighEdit1 = nullptr;

    // Builds the pages, then shows the window modally until it is closed. Nothing is shown
    // when the pages could not be built.
    void Dru_Bausteine(Drucken::PrintRun& run);
    // One copy of the run's template per 50 grid rows, each filled by Drucken::FillPageTable;
    // false when a page could not be built.
    bool buildPages(Drucken::PrintRun& run);

    // Prints the document on printer; a failure is reported to the user. Returns success.
    bool printOn(QPrinter* printer);

    void Menu_DateiDruck_Click();
    void Menu_DateiDruckSet_Click();
    void Menu_DateiEnde_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Resize();
    void applyViewSwitches();
    void reportPrintFailure();

    std::unique_ptr<PrintDocument> m_document;
    bool m_previewPending = true; // the preview has not drawn the document as it is
    QMenuBar* m_menuBar = nullptr;
    QMenu* Menu_Datei = nullptr;
    QAction* Menu_DateiDruck = nullptr;
    QAction* Menu_DateiDruckSet = nullptr;
    QAction* Menu_DateiSep2 = nullptr;
    QAction* Menu_DateiEnde = nullptr;
};
