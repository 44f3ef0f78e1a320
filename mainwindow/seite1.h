#pragma once

#include "findcombinations.h"
#include "kern.h"
#include "printerchoice.h"
#include "tablesnapshot.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QToolBar;
class ResultCommands;
class clsResize;
class SearchProgressBar;
class SearchRunner;
class TrackSystemMenu;
namespace TrackSystems {
struct System;
}
namespace Kern {
class ResultTableModel;
}

// The main window: track table, route settings, start button, result label and result grid,
// with the menus and the toolbar from which every other window is reached.
class Seite1 : public QMainWindow, public Kern::SearchView {
    Q_OBJECT
public:
    explicit Seite1(QWidget* parent = nullptr);
    ~Seite1() override;

    // Track table access by row number 1..10.
    QCheckBox* check(int row) const { return m_check[std::size_t(row)]; }
    QLineEdit* articleBox(int row) const { return m_text6[std::size_t(row)]; }
    QLineEdit* lengthBox(int row) const { return m_text3[std::size_t(row)]; }
    QLineEdit* minimumBox(int row) const { return m_text4[std::size_t(row)]; }
    QLineEdit* maximumBox(int row) const { return m_text5[std::size_t(row)]; }
    QLineEdit* priceBox(int row) const { return m_text7[std::size_t(row)]; }
    QLineEdit* routeBox() const { return m_text2; }
    QLineEdit* limitBox() const { return m_text1; }
    QComboBox* shortfallList() const { return m_combo1; }
    QComboBox* excessList() const { return m_combo2; }
    QLabel* resultLabel() const { return m_label1; }
    SearchProgressBar* progressBar() const { return m_progress; }
    QTableView* grid() const { return m_grid; }
    QPushButton* startButton() const { return m_command1; }
    QToolBar* toolbar() const { return m_toolbar1; }
    QAction* toolbarButton(int position) const { return m_toolButtons[std::size_t(position)]; }
    QAction* dateiEntry(int index) const;
    QAction* extrasEntry(int index) const;
    QAction* hilfeEntry(int index) const;
    ResultCommands* resultCommands() const { return m_resultCommands; }

    QString currentTrackFile() const { return m_currentTrackFile; }
    void setCurrentTrackFile(const QString& path) { m_currentTrackFile = path; }
    bool sortAscendingFlag() const { return m_sortFlag; }

    // The grid's model: the one owner of the last search's rows.
    Kern::ResultTableModel* resultTable() const { return m_model; }
    bool searchRunning() const;
    SearchRunner* searchRunner() const { return m_runner; }
    // The active screen preset and its factors.
    const Kern::ScreenScale& screenScale() const { return m_screen; }

    // Loads a track file into the boxes; silent reports nothing (start-up).
    bool loadTrackFile(const QString& path, bool silent);
    bool saveTrackFile(const QString& path);
    // The load and save commands after their dialog: an empty path is a cancelled dialog.
    void loadFrom(const QString& path);
    bool saveAs(const QString& path);

    // The track table as a track file keeps it.
    TrackFile::Table trackTable() const;
    // Whether the table differs from what was last loaded, saved, chosen as a track system or
    // marked at start-up.
    bool tableChanged() const;
    void markTableUnchanged();
    // Fills the table with a track system's pieces, as loading its file would; the table then
    // has no file of its own, so that saving asks for a name.
    void chooseTrackSystem(const TrackSystems::System& system);
    TrackSystemMenu* trackSystemMenu() const { return m_trackSystems; }

    // Starts a search, or stops the one running.
    void Command1_Click();
    // A click on the grid, a heading or a cell: sorts by its column, the other way round from
    // the click before.
    void Grid_Click(int column);

    // Screen presets.
    void ApplyScreenPreset(double preset);
    void markPreset(double preset);
    void captureDesignLayout();
    clsResize* resizeEngine() const { return m_resize.get(); }

    // Kern::SearchView
    bool isChecked(int row) const override;
    void setChecked(int row, bool checked) override;
    QString text(Field field, int row) const override;
    void setPriceText(int row, const QString& text) override;
    int shortfallData() const override;
    int excessData() const override;
    void showMessage(const QString& text, const QString& title) override;
    void focusField(Field field, int row) override;

    // The result label, line breaks CR LF.
    QString labelText() const;
    void setLabelText(const QString& text);

    // Ends the program through the one unload path (settings are written there).
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction, one group of controls each (seite1_controls.cpp, seite1_menus.cpp).
    void buildControls();
    void buildFrames();
    void buildTrackTable();
    void buildRouteSettings();
    void buildResultArea();
    void buildTabOrder();
    void buildMenus();
    void buildToolbar();
    void applyGridLayout();
    void searchFinished(const std::vector<Kern::FoundCombination>& rows, double seconds,
                        bool stopped);
    void updateCaption();
    // The track table as a whole (seite1_table.cpp).
    void showTrackTable(const TrackFile::Table& table);
    bool loadTable(const QString& path, TrackFile::Table table, bool silent);
    // Asks before a changed table would be lost; true when the command may go on.
    bool mayReplaceTable();
    // "&Ja" to that question: saves to the current file, or asks for a name when there is none.
    bool saveTable();
    // The commands of the menus and the toolbar, each connected to its entries and buttons.
    void loadCommand();
    void saveCommand();
    void endCommand();
    // Those that open other windows, and the presets (seite1_windows.cpp).
    void printResultList();
    void openCalculator();
    void openHelp();
    void openAbout();
    void choosePreset(int preset);
    // The outer size of the preset PresetScale chose last, the controls following it.
    void sizeForPreset();
    QLineEdit* fieldBox(Field field, int row) const;

    QWidget* m_client = nullptr;
    QToolBar* m_toolbar1 = nullptr;
    std::array<QAction*, 11> m_toolButtons{};
    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QGroupBox* m_frame3 = nullptr;
    std::array<QCheckBox*, 11> m_check{};
    std::array<QLineEdit*, 11> m_text3{};
    std::array<QLineEdit*, 11> m_text4{};
    std::array<QLineEdit*, 11> m_text5{};
    std::array<QLineEdit*, 11> m_text6{};
    std::array<QLineEdit*, 11> m_text7{};
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QPushButton* m_command1 = nullptr;
    QLabel* m_label1 = nullptr;
    SearchProgressBar* m_progress = nullptr;
    QTableView* m_grid = nullptr;
    QMenu* m_dateiMenu = nullptr;
    QMenu* m_extrasMenu = nullptr;
    QMenu* m_hilfeMenu = nullptr;
    TrackSystemMenu* m_trackSystems = nullptr;

    Kern::ResultTableModel* m_model = nullptr;
    SearchRunner* m_runner = nullptr;
    QAction* m_stopSearch = nullptr;
    Kern::ScreenScale m_screen;
    PrinterChoice m_printing; // the printer set-up, kept from one print preview to the next

    QString m_currentTrackFile;
    TableSnapshot m_unchangedTable;
    QString m_labelText; // as the search wrote it, line breaks CR LF
    bool m_sortFlag = false;
    bool m_unloaded = false;
    std::unique_ptr<clsResize> m_resize;
    ResultCommands* m_resultCommands = nullptr; // copy and export of the result grid
};
