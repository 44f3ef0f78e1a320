#include "printerchoice.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>

#include <algorithm>

PrinterChoice::PrinterChoice(const QPrinter& printer)
    : m_format(printer.outputFormat()), m_printerName(printer.printerName()),
      m_fileName(printer.outputFileName()), m_layout(printer.pageLayout()) {}

void PrinterChoice::restore(QPrinter& printer) const {
    printer.setOutputFormat(m_format);
    if (m_format == QPrinter::NativeFormat)
        printer.setPrinterName(m_printerName);
    printer.setOutputFileName(m_fileName);
    printer.setPageLayout(m_layout);
}

bool choosePrinter(QPrinter& printer, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Druckerwahl"));
    dialog.setWindowTitle(QStringLiteral("Drucker einrichten"));
    auto* list = new QComboBox(&dialog);
    list->setObjectName(QStringLiteral("Drucker"));
    // Item data: the printer's name; an empty name stands for a PDF file.
    const QStringList names = QPrinterInfo::availablePrinterNames();
    for (const QString& name : names)
        list->addItem(name, name);
    list->addItem(QStringLiteral("PDF-Datei"), QString());
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat || names.isEmpty();
    const int current = toPdf ? list->count() - 1 : list->findData(printer.printerName());
    list->setCurrentIndex(std::max(current, 0));

    auto* label = new QLabel(QStringLiteral("&Drucker:"), &dialog);
    label->setBuddy(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Weiter..."));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow(label, list);
    form->addRow(buttons);
    list->setMinimumWidth(list->fontMetrics().averageCharWidth() * 36);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    const QString name = list->currentData().toString();
    if (name.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
    }
    return true;
}
