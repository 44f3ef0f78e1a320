#pragma once

#include <QChar>
#include <QString>

namespace Kern {

// Leading-number rule of the track table and route boxes: leading blanks skipped, optional
// sign, digits with at most one "." up to the first other character; no number gives 0.
// A comma therefore ends the number. The result is always finite.
double leadingNumber(const QString& text);

// What a box does with one typed character.
struct KeyVerdict {
    enum Action { Pass, Replace, Drop };
    Action action = Pass;
    QChar replacement; // only for Replace
};

// Length rule (route box and length boxes): "," becomes ".", digits and Backspace pass,
// a "." only while the box holds none yet; everything else is dropped.
KeyVerdict lengthKeyRule(QChar typed, const QString& boxText);

// Digits rule (minimum and maximum boxes): digits and Backspace pass, everything else is dropped.
KeyVerdict digitsKeyRule(QChar typed);

// Focus-loss rule: a box whose value is exactly 0 gets the given text, otherwise it keeps its own.
QString focusLossText(const QString& boxText, const QString& zeroText);

// The zero texts of the four kinds of boxes.
inline const char* const LengthZeroText = "0,0";
inline const char* const MinimumZeroText = "0";
inline const char* const MaximumZeroText = "9999";

} // namespace Kern
