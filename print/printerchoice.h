#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <QString>

class QWidget;

// What the printer set-up may change, kept so that a cancelled set-up can put it back.
class PrinterChoice {
public:
    explicit PrinterChoice(const QPrinter& printer);
    void restore(QPrinter& printer) const;

private:
    QPrinter::OutputFormat m_format;
    QString m_printerName;
    QString m_fileName;
    QPageLayout m_layout;
};

// Lets the user choose the printer (the system's printers and a PDF file) and sets printer
// to it; false, and printer unchanged, when the choice was cancelled.
bool choosePrinter(QPrinter& printer, QWidget* parent);
