#pragma once

#include <QString>

// What the calculator engine asks of its window. RechnerF implements it on its controls, the
// engine tests fake it; the engine never sees a widget and never asks the window anything back.
// The tape is not here: the window shows the engine's TapeModel.
class CalculatorView {
public:
    enum class MessageButtons { Ok, OkCancel };

    virtual ~CalculatorView() = default;

    // Ausgabe
    virtual void showDisplay(const QString& text) = 0;
    // DMEURO's caption
    virtual void showConversionField(const QString& caption) = 0;
    // DM_Euro(2), "&Switch"
    virtual void setSwitchEnabled(bool enabled) = 0;
    // Operator(5), "="
    virtual void focusEqualsKey() = 0;
    // Bon: marks the last line and scrolls it into view.
    virtual void selectLastTapeLine() = 0;
    // A modal message box; the caller does not care which button closed it.
    virtual void showMessage(const QString& text, const QString& title, MessageButtons buttons) = 0;
};
