#pragma once

#include "searchresult.h"

#include <QString>

#include <optional>

namespace Kern {

// What the search needs of the window that holds the track table and the route settings.
// The main window implements it; tests use a fake.
class SearchView {
public:
    enum class Field { Article, Length, Minimum, Maximum, Price };

    virtual ~SearchView() = default;
    virtual bool isChecked(int row) const = 0;
    virtual void setChecked(int row, bool checked) = 0;
    virtual QString text(Field field, int row) const = 0;
    virtual void setPriceText(int row, const QString& text) = 0; // and repaint the box
    virtual int shortfallData() const = 0; // item data of the shortfall list, 0..10
    virtual int excessData() const = 0;    // item data of the excess list, 0..10
    virtual void showMessage(const QString& text, const QString& title) = 0;
    virtual void focusField(Field field, int row) = 0;
};

// The start of a search: gathers the checked rows of the track table (every price text
// normalised, rows of length 0 unchecked) and checks them. Returns the request and the selected
// types with no rows yet, to be run by searchCombinations; after an input error it has shown the
// message, put the focus into the box and returns nothing.
std::optional<SearchResult> FindCombinations(SearchView& view, double routeLength, double limit);

// The first line of the result label: " Ergebnis: k Kombinationen ".
QString resultCaption(qint64 count);
// The whole label once the search has ended, or was stopped: the caption (empty when nothing
// was found) and a line with the duration.
QString finishedLabel(qint64 count, double seconds, bool stopped);

// The message texts of the input check.
inline const char* const MinMaxMessage = "Achtung, die Min.-Anzahl eines gewünschten Gleises darf "
                                         "nicht größer als die Max.-Anzahl sein.";
inline const char* const NegativeLengthMessage =
    "Achtung, die Länge eines gewünschten Gleises darf nicht negativ sein.";
inline const char* const BadPriceMessage =
    "Achtung, der Preis eines gewünschten Gleises ist keine gültige Zahl.";
// The largest price is Currency::MaxAbs, the most whose sums stay exact.
inline const char* const PriceTooLargeMessage =
    "Achtung, der Preis eines gewünschten Gleises ist zu groß (höchstens 10.000.000.000,00).";
inline const char* const InputErrorTitle = "Eingabefehler";

} // namespace Kern
