#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <QString>

class QWidget;

// The printer set-up a user chose: the printer or a PDF file with its name, and the page. It is
// kept for the rest of the run by whoever outlives the previews, and given to each new one, so
// that a set-up is not lost when a preview closes; a copy also puts the set-up back when a
// dialog is cancelled.
class PrinterChoice {
public:
    PrinterChoice() = default; // nothing chosen: the printer keeps what it starts with
    explicit PrinterChoice(const QPrinter& printer);

    bool isChosen() const { return m_chosen; }
    // Sets printer to the choice; a printer that is gone leaves the system's default in place.
    void applyTo(QPrinter& printer) const;

private:
    bool m_chosen = false;
    QPrinter::OutputFormat m_format = QPrinter::NativeFormat;
    QString m_printerName;
    QString m_fileName;
    QPageLayout m_layout;
};

// Lets the user choose the printer (the system's printers, or a PDF file and its name) and sets
// printer to it; false, and printer unchanged, when the choice was cancelled.
bool choosePrinter(QPrinter& printer, QWidget* parent);
