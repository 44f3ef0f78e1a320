#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

// The boxes of the track table, the route and the limit hold one line each: a line break in a
// box would end up in the track file as a line of its own and shift every later row.
namespace Kern {

// The one-line form of a text: line breaks (CR, LF, CR LF, and runs of them) at the start and
// at the end are dropped, each run inside becomes one blank. A spreadsheet cell, copied with its
// trailing line break, thus arrives as the cell's text, and two cells "A\nB\n" as "A B": nothing
// pasted disappears unseen. *cursor (when given) is moved along with the text.
QString withoutLineBreaks(const QString& text, int* cursor = nullptr);

} // namespace Kern

// Keeps a line edit free of line breaks however the text arrives: typing, every paste path
// (keys, context menu, middle click), drag and drop, input methods and setText(). A line edit
// runs every change through its validator, which may rewrite the text; this one always accepts.
class LineBreakFilter : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;

    // Gives the box a filter of its own.
    static void attach(QLineEdit* box);
};
