#include "resultcommands.h"

#include "resultexport.h"
#include "resulttablemodel.h"
#include "safefile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTableView>

#include <algorithm>

static QList<int> allRows(const QAbstractItemModel& model) {
    QList<int> rows;
    for (int r = 0; r < model.rowCount(); ++r)
        rows << r;
    return rows;
}

ResultCommands::ResultCommands(QTableView* grid, const Kern::ResultTableModel* model,
                               QAction* exportEntry, QObject* parent)
    : QObject(parent), m_grid(grid), m_model(model), m_export(exportEntry) {
    // Whole rows are what gets copied, so whole rows are what the user picks; a click on a cell
    // still sorts by its column, dragging or Shift+arrow keys pick several rows, a click below
    // the last row picks none (and so all).
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);

    m_copy = new QAction(QStringLiteral("Kopieren"), m_grid);
    m_copy->setObjectName(QStringLiteral("GridKopieren"));
    m_copy->setShortcut(QKeySequence::Copy);
    m_copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_copy, &QAction::triggered, this, &ResultCommands::copyToClipboard);
    m_grid->addAction(m_copy);
    if (m_export) {
        auto* separator = new QAction(m_grid);
        separator->setSeparator(true);
        m_grid->addAction(separator);
        m_grid->addAction(m_export);
        connect(m_export, &QAction::triggered, this, &ResultCommands::exportResult);
    }
    m_grid->setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(m_model, &QAbstractItemModel::modelReset, this, &ResultCommands::updateEnabled);
    updateEnabled();
}

void ResultCommands::updateEnabled() {
    const bool rows = m_model->rowCount() > 0;
    m_copy->setEnabled(rows);
    if (m_export)
        m_export->setEnabled(rows);
}

QList<int> ResultCommands::chosenRows() const {
    QList<int> rows;
    if (const QItemSelectionModel* selection = m_grid->selectionModel())
        for (const QModelIndex& index : selection->selectedIndexes())
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return allRows(*m_model);
    return rows;
}

void ResultCommands::copyToClipboard() const {
    QApplication::clipboard()->setText(
        Kern::tabSeparatedText(Kern::resultTexts(*m_model, chosenRows())));
}

void ResultCommands::exportResult() {
    QFileDialog dialog(m_grid->window(), QStringLiteral("Ergebnis exportieren"));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QStringLiteral("CSV-Datei (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    dialog.selectFile(m_lastExport.isEmpty() ? QDir(folder).filePath(QStringLiteral("Ergebnis.csv"))
                                             : m_lastExport);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportTo(dialog.selectedFiles().constFirst());
}

bool ResultCommands::exportTo(const QString& path) {
    const QByteArray bytes = Kern::csvBytes(Kern::resultTexts(*m_model, allRows(*m_model)));
    QString reason;
    if (!SafeFile::writeFile(path, bytes, &reason)) {
        QMessageBox(QMessageBox::NoIcon, QStringLiteral("Fehler beim Speichern"),
                    QStringLiteral("Das Ergebnis konnte nicht exportiert werden:\n%1\n%2")
                        .arg(QDir::toNativeSeparators(path), reason),
                    QMessageBox::Ok, m_grid->window())
            .exec();
        return false;
    }
    m_lastExport = path;
    return true;
}
