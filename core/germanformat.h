#pragma once

#include <QLocale>
#include <QString>

namespace Kern {

// The one locale every number shown to the user goes through, whatever the process locale is.
const QLocale& germanLocale();

// Formats a value with a picture pattern: "#" optional digit, "0" required digit, "," anywhere in
// the integer part asks for thousands grouping, "." the decimal point followed by as many decimals
// as digit characters stand behind it. A pattern ending in "." shows the decimal comma alone.
// Rounds half away from zero on the shortest decimal form of the value, so 2.675 gives 2,68.
// Non-finite values give an empty text.
QString formatPattern(double value, const QString& pattern);

// The value a pattern shows of a number, as a number: rounded as formatPattern rounds, 0 for an
// empty text or a value that is not finite. Sorting by it orders rows as their texts read.
double patternValue(double value, const QString& pattern);

// Reads a number written the German way: optional blanks, optional sign, digits with optional
// thousands points in groups of three, optional decimal comma with digits. Returns false (and
// leaves *value alone) for anything else, the empty text included.
bool readGermanNumber(const QString& text, double* value);

// Numeric value of a cell text for sorting: German reading, empty or unreadable text counts as 0.
double germanSortValue(const QString& text);

// The plain text of a number: up to 15 significant digits, no trailing zeros, no grouping,
// decimal comma, a leading "-" for negative numbers; exponent form for very large or small ones.
QString plainNumberText(double value);

// Pads a text on the left with blanks to the given width; a longer text stays whole.
QString alignedText(const QString& text, int width = 25);

} // namespace Kern
