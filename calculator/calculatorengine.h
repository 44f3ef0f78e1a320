#pragma once

#include "calculatorstate.h"
#include "tapemodel.h"

#include <QString>

class CalculatorView;

// The desk calculator behind RechnerF: works like a printing adding machine. Every key, clicked
// or typed, arrives as a one-character key text through HandleKey; numbers combined with an
// operator go onto the tape, results are rounded commercially and printed with a rule under them.
// It owns all its state, the tape's lines and what the display and the conversion field show;
// the window only draws it.
class CalculatorEngine {
public:
    // DM per Euro.
    static constexpr double DmRate = 1.95583;

    // The view must outlive the engine.
    explicit CalculatorEngine(CalculatorView* view);

    const CalculatorState& state() const { return m_state; }
    TapeModel& tape() { return m_tape; }
    const TapeModel& tape() const { return m_tape; }
    // The conversion field's caption: its currency and the kept result, or blank.
    QString conversionCaption() const;

    // What the window does when it opens: reset, one empty tape line for the first line to
    // replace, and "0" in the display.
    void open();

    void HandleKey(const QString& keyText);
    void ClearAll();
    // The spinner's new setting (0 to 6), taken at the next result or conversion; it blanks the
    // conversion field as a key does.
    void setDecimalPlaces(int places);

    // Replaces accumulator by the result of op; None, Percent and Result take entry over.
    static void ApplyOperator(PendingOperator op, double& accumulator, double entry);
    // "%" after op: on top of, off or of the accumulator; with no operator, entry is taken over.
    static void applyPercent(PendingOperator op, double& accumulator, double entry);
    void WriteTapeLine(double value, const QString& symbol);
    void ShowDisplay(double value, bool formatted);

    // sign(a) * floor(10^p * |a| + 0.50001) / 10^p: the adding machine's rounding, which also
    // rounds the binary neighbours of a half (1,005 gives 1,01).
    static double roundCommercial(double value, int places);

    // Pattern text "###########,##0" with the current decimal places: the tape's result form,
    // also what a conversion is rounded through.
    QString resultPatternText(double value) const;

    // DM_Euro(0) and (1): the number shown from Euro to DM and from DM to Euro.
    void convertToDm();
    void convertToEuro();
    // DM_Euro(2), "Switch": exchanges the numbers of the display and of the conversion field.
    void switchConversion();

private:
    bool applyPending(PendingOperator op, bool percent = false);
    void resetAfterOverflow();
    void startEntryIfNeeded();
    void digit(int d);
    void decimalKey();
    void binaryOperator(PendingOperator op, const QString& symbol);
    void percent();
    void result();
    void finishConversion(Currency currency);
    void showConversionField(Currency currency);
    void setSwitchEnabled(bool enabled);

    CalculatorView* m_view;
    CalculatorState m_state;
    TapeModel m_tape;
};
