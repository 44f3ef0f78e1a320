#pragma once

// The calculator's tape as tests read it, and a window for the engine that only records what it
// is asked to show; the engine tests and the fuzz target share both.

#include "calculatorview.h"

#include <QStringList>

inline const QString TapeRule(30, QLatin1Char('-'));

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
        qsizetype i = 0;
        while (i < line.size() && line.at(i) == QLatin1Char(' '))
            ++i;
        out << (line == TapeRule ? QStringLiteral("rule") : line.mid(i));
    }
    return out.join(QLatin1Char('|'));
}

// fault notes the first thing asked that a window could not show: a display not of 25 places, a
// tape line out of columns or written out of order.
class TapeView : public CalculatorView {
public:
    QString display, places = QStringLiteral("2"), field, fault;
    QStringList tape, messages; // "text/title/buttons"
    bool switchEnabled = true;

    void setDisplayText(const QString& text) override {
        note(text.size() != 25, QStringLiteral("display: ") + text);
        display = text;
    }
    QString displayText() const override { return display; }
    void clearTape() override { tape.clear(); }
    int tapeLineCount() const override { return int(tape.size()); }
    QString tapeLine(int i) const override { return tape.value(i); }
    void writeTapeLine(int i, const QString& text) override {
        note(!inColumns(text), QStringLiteral("out of columns: ") + text);
        note(i < 0 || i > tape.size(), QStringLiteral("tape line written out of order"));
        if (i == tape.size())
            tape.append(text);
        else if (i >= 0 && i < tape.size())
            tape[i] = text;
    }
    void selectLastTapeLine() override {}
    void blankConversionField() override { field.clear(); }
    QString conversionCaption() const override { return field; }
    void showConversion(const QString& caption, const QString&) override { field = caption; }
    void setSwitchEnabled(bool enabled) override { switchEnabled = enabled; }
    void focusEqualsKey() override {}
    QString decimalPlacesCaption() const override { return places; }
    void showMessage(const QString& text, const QString& title, MessageButtons b) override {
        messages << text + QLatin1Char('/') + title +
                        (b == MessageButtons::Ok ? QLatin1String("/OK")
                                                 : QLatin1String("/OK+Abbrechen"));
    }

private:
    void note(bool wrong, const QString& what) {
        if (wrong && fault.isEmpty())
            fault = what;
    }
};
