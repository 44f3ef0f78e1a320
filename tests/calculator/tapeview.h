#pragma once

// The calculator's tape as tests read it, and a window for the engine that only records what it
// is asked to show; the engine tests, the window tests and the fuzz target share them.

#include "calculatorengine.h"
#include "calculatorview.h"

#include <QRegularExpression>
#include <QStringList>

inline const QString TapeRule(30, QLatin1Char('-'));

// The buttons DM_Euro(0) to (2): "&DM", "E&uro" and "&Switch".
inline void (CalculatorEngine::*const ConversionButtons[])() = {
    &CalculatorEngine::convertToDm, &CalculatorEngine::convertToEuro,
    &CalculatorEngine::switchConversion};

// A line as a window shows it in columns: the blank line of a fresh tape, the rule, or a number
// ending in column 25, then nothing or a blank and one operator symbol.
inline bool inColumns(const QString& line) {
    if (line.isEmpty() || line == TapeRule)
        return true;
    return line.size() >= 25 && line.size() <= 27 && line.at(24) != QLatin1Char(' ') &&
           (line.size() == 25 || line.at(25) == QLatin1Char(' ')) &&
           (line.size() < 27 || QStringLiteral("+-*/%=").contains(line.at(26)));
}

// Tape lines without their padding, "|" between them, "rule" for the dashed line, "" for the
// blank line a fresh window starts with; a line out of columns comes back marked.
inline QString shortTape(const QStringList& tape) {
    QStringList out;
    for (const QString& line : tape) {
        if (!inColumns(line))
            return QStringLiteral("misaligned: ") + line;
        static const QRegularExpression padding(QStringLiteral("^ +"));
        out << (line == TapeRule ? QStringLiteral("rule") : QString(line).remove(padding));
    }
    return out.join(QLatin1Char('|'));
}

// A window for the engine that records what it is asked to show; fault notes the first thing a
// window could not show: a display not of 25 places.
class TapeView : public CalculatorView {
public:
    QString display, field, fault;
    QStringList messages; // "text/title/buttons"
    bool switchEnabled = true;

    void showDisplay(const QString& text) override {
        if (text.size() != 25 && fault.isEmpty())
            fault = QStringLiteral("display: ") + text;
        display = text;
    }
    void showConversionField(const QString& caption) override { field = caption; }
    void setSwitchEnabled(bool enabled) override { switchEnabled = enabled; }
    void focusEqualsKey() override {}
    void selectLastTapeLine() override {}
    void showMessage(const QString& text, const QString& title, MessageButtons b) override {
        messages << text + QLatin1Char('/') + title +
                        (b == MessageButtons::Ok ? QLatin1String("/OK")
                                                 : QLatin1String("/OK+Abbrechen"));
    }
};
