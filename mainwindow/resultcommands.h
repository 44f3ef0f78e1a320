#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QTableView;
namespace Kern {
class ResultTableModel;
}

// Lets the results leave the program: "Kopieren" (Ctrl+C in the grid and its context menu) puts
// the selected rows, or all rows when none is selected, on the clipboard as tab-separated text;
// the export entry writes the whole table, in the order shown, as a CSV file.
class ResultCommands : public QObject {
    Q_OBJECT
public:
    // Sets the grid (showing model) up for choosing whole rows, gives it the copy key and a
    // context menu with "Kopieren" and the export entry, connects the entry, and keeps both
    // enabled only while there are rows.
    ResultCommands(QTableView* grid, const Kern::ResultTableModel* model, QAction* exportEntry,
                   QObject* parent);

    // Model rows to hand on, in the order shown: the selected ones, or all.
    QList<int> chosenRows() const;
    void copyToClipboard() const;
    // Asks for a file name, then writes the CSV file there.
    void exportResult();
    // Writes all rows as a CSV file; a failure leaves any old file as it was and says so in a
    // message.
    bool exportTo(const QString& path);

private:
    void updateEnabled();

    QTableView* m_grid = nullptr;
    const Kern::ResultTableModel* m_model = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_export = nullptr;
    QString m_lastExport;
};
