#pragma once

#include <QString>

// The operator key that waits for its second operand, or what the last key left behind.
enum class PendingOperator { None, Add, Subtract, Multiply, Divide, Percent, Result };

// The currency the conversion field names; None while the field is blank.
enum class Currency { None, Dm, Euro };

// Everything one calculator window remembers between keys, what it shows included; the window
// draws from here and reads nothing back. Fresh: all numbers 0, flags false.
struct CalculatorState {
    double accumulator = 0.0;  // running result
    double entry = 0.0;        // the number being typed, or the operand last used
    double displayValue = 0.0; // what the display stands for; handed on by "Ende mit Übernahme"
    PendingOperator pendingOperator = PendingOperator::None;
    int decimalPosition = 0; // 0: typing the integer part; k: the next digit is the k-th decimal
    int decimalPlaces = 2;   // commercial rounding, 0 to 6, as the spinner sets it
    int tapeIndex = 0;       // where the next tape line goes; int so the tape may grow freely
    bool startNewEntry = false;
    bool formattedDisplay = false;
    double convertedValue = 0.0; // DM/Euro conversion before rounding
    double roundedConvertedValue = 0.0;

    // The display's text (25 places) and the number that text stands for, which is what a
    // conversion converts: the typed-entry form rounds (3,5 shows as 4), the plain text keeps
    // 15 digits.
    QString displayText;
    double shownValue = 0.0;
    // The conversion field: its currency (None: blank) and the result text it keeps for handing
    // on, which outlives the blanking by the next key.
    Currency fieldCurrency = Currency::None;
    QString conversionResult;
    bool switchEnabled = false;
};
