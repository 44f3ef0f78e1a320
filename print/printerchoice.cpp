#include "printerchoice.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>

#include <algorithm>

namespace {

// Where a PDF goes when none was named yet: the home folder, not the folder the program happened
// to be started from.
QString pdfFileOf(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty())
        return printer.outputFileName();
    return QDir::home().filePath(QStringLiteral("Gleisliste.pdf"));
}

// A name typed without a folder lies in the home folder, as in the print dialog.
QString absolutePdfFile(const QString& typed) {
    return QDir::cleanPath(QDir::home().absoluteFilePath(typed.trimmed()));
}

void setToPdf(QPrinter& printer, const QString& file) {
    // The file name before the format: setting an empty one switches back to the system printer.
    printer.setOutputFileName(file);
    printer.setOutputFormat(QPrinter::PdfFormat);
}

void setToPrinter(QPrinter& printer, const QString& name) {
    printer.setOutputFileName(QString());
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(name);
}

} // namespace

PrinterChoice::PrinterChoice(const QPrinter& printer)
    : m_chosen(true), m_format(printer.outputFormat()), m_printerName(printer.printerName()),
      m_fileName(printer.outputFileName()), m_layout(printer.pageLayout()) {}

void PrinterChoice::applyTo(QPrinter& printer) const {
    if (!m_chosen)
        return;
    if (m_format == QPrinter::PdfFormat)
        setToPdf(printer, m_fileName);
    else if (QPrinterInfo::availablePrinterNames().contains(m_printerName))
        setToPrinter(printer, m_printerName);
    // A page the printer does not know still keeps its size and orientation.
    if (!printer.setPageLayout(m_layout)) {
        printer.setPageSize(m_layout.pageSize());
        printer.setPageOrientation(m_layout.orientation());
    }
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

    auto* file = new QLineEdit(pdfFileOf(printer), &dialog);
    file->setObjectName(QStringLiteral("Datei"));
    auto* browse = new QPushButton(QStringLiteral("Durch&suchen..."), &dialog);
    browse->setObjectName(QStringLiteral("Durchsuchen"));
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&dialog, file] {
        // The print dialog asks before it overwrites a file; asking here too would ask twice.
        const QString chosen = QFileDialog::getSaveFileName(
            &dialog, QStringLiteral("PDF-Datei"), absolutePdfFile(file->text()),
            QStringLiteral("PDF-Dateien (*.pdf)"), nullptr, QFileDialog::DontConfirmOverwrite);
        if (!chosen.isEmpty())
            file->setText(chosen);
    });

    auto* label = new QLabel(QStringLiteral("&Drucker:"), &dialog);
    label->setBuddy(list);
    auto* fileLabel = new QLabel(QStringLiteral("Da&tei:"), &dialog);
    fileLabel->setBuddy(file);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("&Weiter..."));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // The file is asked for only where a PDF is chosen, and a PDF needs one.
    const auto fitFileToPrinter = [=] {
        const bool pdf = list->currentData().toString().isEmpty();
        file->setEnabled(pdf);
        browse->setEnabled(pdf);
        ok->setEnabled(!pdf || !file->text().trimmed().isEmpty());
    };
    QObject::connect(list, &QComboBox::currentIndexChanged, &dialog, fitFileToPrinter);
    QObject::connect(file, &QLineEdit::textChanged, &dialog, fitFileToPrinter);
    fitFileToPrinter();

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file, 1);
    fileRow->addWidget(browse);
    auto* form = new QFormLayout(&dialog);
    form->addRow(label, list);
    form->addRow(fileLabel, fileRow);
    form->addRow(buttons);
    list->setMinimumWidth(list->fontMetrics().averageCharWidth() * 36);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    const QString name = list->currentData().toString();
    if (name.isEmpty())
        setToPdf(printer, absolutePdfFile(file->text()));
    else
        setToPrinter(printer, name);
    return true;
}
