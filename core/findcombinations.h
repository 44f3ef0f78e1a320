#pragma once

#include <QString>

namespace Kern {

// What the search needs of the window that holds the track table and the result label.
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
    virtual QString labelText() const = 0;
    virtual void setLabelText(const QString& text) = 0;
    virtual void repaintNow() = 0; // let the running count show
    virtual void showMessage(const QString& text, const QString& title) = 0;
    virtual void focusField(Field field, int row) = 0;
};

// Runs one complete search over the track table with the given route length: gathers the
// checked rows, checks them, records the combinations in the result store, fills the result
// table and writes the result label. Uses Kern::CombinationLimit as the limit.
void FindCombinations(SearchView& view, double routeLength);

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
