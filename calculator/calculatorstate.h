#pragma once

#include <QString>

// Everything one calculator window remembers between keys. Fresh: all numbers 0, flags false.
struct CalculatorState {
    double accumulator = 0.0;  // running result
    double entry = 0.0;        // the number being typed, or the operand last used
    double displayValue = 0.0; // what the display stands for; handed on by "Ende mit Übernahme"
    QString pendingOperator;   // "", "+", "-", "*", "/", "%" or "="
    int decimalPosition = 0;   // 0: typing the integer part; k: the next digit is the k-th decimal
    int decimalPlaces = 0;     // commercial rounding, 0 to 6
    int tapeIndex = 0;         // where the next tape line goes; int so the tape may grow freely
    bool startNewEntry = false;
    bool formattedDisplay = false;
    double convertedValue = 0.0; // DM/Euro conversion before rounding
    double roundedConvertedValue = 0.0;
};
