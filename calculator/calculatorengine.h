#pragma once

#include "calculatorstate.h"

#include <QString>

class CalculatorView;

// The desk calculator behind RechnerF: works like a printing adding machine. Every key, clicked
// or typed, arrives as a one-character key text through HandleKey; numbers combined with an
// operator go onto the tape, results are rounded commercially and printed with a rule under them.
class CalculatorEngine {
public:
    // DM per Euro.
    static constexpr double DmRate = 1.95583;

    // The view must outlive the engine.
    explicit CalculatorEngine(CalculatorView* view);

    CalculatorState& state() { return m_state; }
    const CalculatorState& state() const { return m_state; }

    // What the window does when it opens: reset, one empty tape line for the first line to
    // replace, and "0" in the display.
    void open();

    void HandleKey(const QString& keyText);
    void ClearAll();
    // decimalPlaces from the caption of Komma; ClearAll and the spinner take it over.
    void takeDecimalPlaces();
    // Replaces accumulator by the result of op: "+", "-", "*", "/", "+%", "-%", "*%"; any other
    // op takes entry over.
    static void ApplyOperator(const QString& op, double& accumulator, double entry);
    void WriteTapeLine(double value, const QString& symbol);
    void ShowDisplay(double value, bool formatted);

    // sign(a) * floor(10^p * |a| + 0.50001) / 10^p: the adding machine's rounding, which also
    // rounds the binary neighbours of a half (1,005 gives 1,01).
    static double roundCommercial(double value, int places);

    // Pattern text "###########,##0" with the current decimal places: the tape's result form,
    // also what a conversion is rounded through.
    QString resultPatternText(double value) const;

    // DM_Euro(index): 0 converts the number shown from Euro to DM, 1 from DM to Euro, 2
    // ("Switch") exchanges the numbers of the display and of the conversion field.
    void convert(int index);

    // A result that left the range of a double: tells the user and starts over as after "C".
    void resetAfterOverflow();

private:
    bool applyPending(const QString& op);
    void startEntryIfNeeded();
    void digit(int d);
    void decimalKey();
    void binaryOperator(const QString& op);
    void percent();
    void result();

    CalculatorView* m_view;
    CalculatorState m_state;
};
