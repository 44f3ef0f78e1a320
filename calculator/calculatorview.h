#pragma once

#include <QString>

// What the calculator engine needs from its window. RechnerF implements it on its controls,
// the engine tests fake it; the engine never sees a widget.
class CalculatorView {
public:
    enum class MessageButtons { Ok, OkCancel };

    virtual ~CalculatorView() = default;

    // Ausgabe
    virtual void setDisplayText(const QString& text) = 0;
    virtual QString displayText() const = 0;

    // Bon, the paper tape
    virtual void clearTape() = 0;
    virtual int tapeLineCount() const = 0;
    virtual QString tapeLine(int i) const = 0;
    // Replaces line i; i equal to the line count appends a line.
    virtual void writeTapeLine(int i, const QString& text) = 0;
    // Marks the last line and scrolls it into view.
    virtual void selectLastTapeLine() = 0;

    // DMEURO: only the caption is blanked, the kept result text stays.
    virtual void blankConversionField() = 0;
    virtual QString conversionCaption() const = 0;
    // Caption and the result text the field keeps for handing on.
    virtual void showConversion(const QString& caption, const QString& resultText) = 0;
    // DM_Euro(2), "&Switch"
    virtual void setSwitchEnabled(bool enabled) = 0;
    // Operator(5), "="
    virtual void focusEqualsKey() = 0;
    // Komma
    virtual QString decimalPlacesCaption() const = 0;

    // A modal message box; the caller does not care which button closed it.
    virtual void showMessage(const QString& text, const QString& title, MessageButtons buttons) = 0;
};
