#pragma once

#include "kern.h"

#include "calculatorengine.h"
#include "calculatorview.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <memory>

class CaptionButton;
class ConversionLabel;
class QAction;
class QLabel;
class QMenuBar;
class QPrinter;
class QPushButton;
class TapeList;
class UpDownControl;
class clsResize;

// The desk calculator: paper tape, display, keys, DM/Euro conversion, tape printing. Modal,
// created anew for every use (`RechnerF calculator(screen, this); calculator.exec();`); it hands
// its result on through the clipboard only.
class RechnerF : public QDialog, private CalculatorView {
    Q_OBJECT
public:
    // Follows the given screen preset every time it is activated.
    explicit RechnerF(const Kern::ScreenScale& screen = Kern::ScreenScale(),
                      QWidget* parent = nullptr);
    ~RechnerF() override;

    // Where the tape goes when printed: by default the system's default printer, nullptr when
    // there is none. Tests print into a PDF file or pretend there is no printer.
    using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;
    void setPrinterFactory(PrinterFactory factory) { m_printerFactory = std::move(factory); }

    // The event handlers, named after their controls.
    void Form_Activate();
    void Taste_Click(const QString& keyText);
    void DMEURO_Click();
    void MDrucken_Click();
    void MInfo_Click();
    void UpDown1_Change();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // CalculatorView
    void showDisplay(const QString& text) override;
    void showConversionField(const QString& caption) override;
    void setSwitchEnabled(bool enabled) override;
    void focusEqualsKey() override;
    void selectLastTapeLine() override;
    void showMessage(const QString& text, const QString& title, MessageButtons buttons) override;

    // The engine, opened first should a control be used before the window was shown.
    CalculatorEngine& engine();
    // EndeButton(0) and (1): close, handing the number shown on through the clipboard or not.
    void end(bool withTransfer);

    // rechnerf_controls.cpp
    void buildControls();
    void buildTape();
    void buildSettingsRow();
    void buildDisplay();
    void buildKeys();
    void buildSideButtons();
    void place(QWidget* w, int left, int top, int width, int height);

    void PlaceWindow();

    CalculatorEngine m_engine;
    Kern::ScreenScale m_screen;
    std::unique_ptr<clsResize> m_resize;
    PrinterFactory m_printerFactory;
    bool m_opened = false;

    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr; // the form's area below the menu bar
    TapeList* Bon = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Komma = nullptr;
    UpDownControl* UpDown1 = nullptr;
    ConversionLabel* DMEURO = nullptr;
    QLabel* Ausgabe = nullptr;
    QList<CaptionButton*> Taste;
    QList<CaptionButton*> Operator;
    QList<CaptionButton*> C_Taste;
    QList<CaptionButton*> DM_Euro;
    QList<CaptionButton*> EndeButton;
    QAction* MDrucken = nullptr;
    QAction* MInfo = nullptr;
};
