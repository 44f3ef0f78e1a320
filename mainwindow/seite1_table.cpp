// The track table as a whole: its files, the track systems, and the question before a changed
// table is lost.
#include "seite1.h"

#include "kern.h"
#include "savequestion.h"
#include "trackfile.h"
#include "tracksystems.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

static QString fileDialog(QWidget* parent, bool save, const QString& initial) {
    QFileDialog dialog(parent, save ? QStringLiteral("Gleis-Tabelle speichern")
                                    : QStringLiteral("Gleis-Tabelle laden"));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QStringLiteral("Schotterfix (*.sfr)"));
    dialog.setDefaultSuffix(QStringLiteral("sfr"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!initial.isEmpty() && initial != QLatin1String("*.sfr"))
        dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void Seite1::loadCommand() {
    if (mayReplaceTable())
        loadFrom(fileDialog(this, false, QStringLiteral("*.sfr")));
}

void Seite1::saveCommand() {
    saveAs(fileDialog(this, true, m_currentTrackFile));
}

void Seite1::loadFrom(const QString& path) {
    // The current name changes only when the file could be read.
    if (!path.isEmpty() && loadTrackFile(path, false))
        m_currentTrackFile = path;
    updateCaption();
}

bool Seite1::saveAs(const QString& path) {
    const bool saved = !path.isEmpty() && saveTrackFile(path);
    if (saved)
        m_currentTrackFile = path;
    updateCaption();
    return saved;
}

bool Seite1::loadTrackFile(const QString& path, bool silent) {
    // Rows the file does not reach keep what they show.
    return loadTable(path, trackTable(), silent);
}

bool Seite1::loadTable(const QString& path, TrackFile::Table table, bool silent) {
    int rows = 0;
    QString reason;
    if (!TrackFile::read(path, &table, &rows, &reason)) {
        if (!silent)
            showMessage(QStringLiteral("Die Gleis-Tabelle konnte nicht geladen werden:\n%1\n%2")
                            .arg(QDir::toNativeSeparators(path), reason),
                        QStringLiteral("Fehler beim Laden"));
        return false;
    }
    showTrackTable(table);
    markTableUnchanged();
    return true;
}

bool Seite1::saveTrackFile(const QString& path) {
    const TrackFile::Table table = trackTable();
    QString reason;
    if (!TrackFile::write(path, table, &reason)) {
        showMessage(QStringLiteral("Die Gleis-Tabelle konnte nicht gespeichert werden:\n%1\n%2")
                        .arg(QDir::toNativeSeparators(path), reason),
                    QStringLiteral("Fehler beim Speichern"));
        return false;
    }
    m_unchangedTable = TableSnapshot(table);
    return true;
}

TrackFile::Table Seite1::trackTable() const {
    TrackFile::Table table;
    for (std::size_t r = 1; r <= std::size_t(Kern::TrackRows); ++r) {
        TrackFile::Row& row = table[r - 1];
        row.length = m_text3[r]->text();
        row.article = m_text6[r]->text();
        row.price = m_text7[r]->text();
    }
    return table;
}

void Seite1::showTrackTable(const TrackFile::Table& table) {
    for (std::size_t r = 1; r <= std::size_t(Kern::TrackRows); ++r) {
        const TrackFile::Row& row = table[r - 1];
        m_text3[r]->setText(row.length);
        m_text6[r]->setText(row.article);
        m_text7[r]->setText(row.price);
    }
}

bool Seite1::tableChanged() const {
    return TableSnapshot(trackTable()) != m_unchangedTable;
}

void Seite1::markTableUnchanged() {
    m_unchangedTable = TableSnapshot(trackTable());
}

bool Seite1::mayReplaceTable() {
    if (!tableChanged())
        return true;
    switch (SaveQuestion::ask(this)) {
    case SaveQuestion::Answer::Save:
        return saveTable();
    case SaveQuestion::Answer::Discard:
        return true;
    case SaveQuestion::Answer::Cancel:
        break;
    }
    return false;
}

bool Seite1::saveTable() {
    const QString path =
        m_currentTrackFile.isEmpty() ? fileDialog(this, true, QString()) : m_currentTrackFile;
    return saveAs(path);
}

void Seite1::chooseTrackSystem(const TrackSystems::System& system) {
    if (!mayReplaceTable())
        return;
    // Rows beyond the system's pieces are emptied, also when a user's own copy of its file
    // holds fewer rows than the built-in one.
    TrackFile::Table empty;
    empty.fill(TrackFile::Row{QStringLiteral("0.0"), QString(), QStringLiteral("0,00")});
    if (!loadTable(TrackSystems::pathOf(system), empty, false))
        return;
    // The table is no longer that of a file: saving it asks for a name and never writes into
    // the folder the systems come from.
    m_currentTrackFile.clear();
    updateCaption();
}
