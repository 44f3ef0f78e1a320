#pragma once

#include <QPointer>
#include <QString>
#include <QValidator>

class QLineEdit;

// The boxes of the track table, the route and the limit hold one line each: a line break in a
// box would end up in the track file as a line of its own and shift every later row. And what a
// box shows must be what the search reads: text that arrives other than by typing may not slip
// past the rule that typing follows.
namespace Kern {

// The one-line form of a text: line breaks (CR, LF, CR LF, and runs of them) at the start and
// at the end are dropped, each run inside becomes one blank. A spreadsheet cell, copied with its
// trailing line break, thus arrives as the cell's text, and two cells "A\nB\n" as "A B": nothing
// pasted disappears unseen. *cursor (when given) is moved along with the text.
QString withoutLineBreaks(const QString& text, int* cursor = nullptr);

// The typing rule a box follows, and so what it takes when text is pasted into it.
enum class BoxKind {
    Free,   // article number, price, limit: any text
    Length, // length and route boxes: the length rule
    Digits, // minimum and maximum counts: the digits rule
};

// What a box of the given kind takes of a pasted text: each character goes through the box's
// typing rule as if typed, in order, beside the text the box keeps around it (a "," becomes "."
// in a length box). Returns false when the rule would drop any character: the text is refused
// whole rather than taken in part, since a part of a number is another number.
bool takePasted(const QString& pasted, const QString& around, BoxKind kind, QString* taken);

// One change of a box's text: at position `at`, `removed` characters gave way to `inserted`.
struct TextEdit {
    int at = 0;
    int removed = 0;
    QString inserted;
};

// Where the next change of a box goes: its selection, or (length 0) its cursor.
struct EditSite {
    int at = 0;
    int length = 0;
};

// The change that turned before into after. Text that replaced the selection at site (or went in
// at the cursor) is taken as that whole, even where it begins or ends like the text it replaced;
// any other change (Backspace, Delete) is taken as the smallest one that ends at cursor, where
// the cursor stands after it.
TextEdit editBetween(const QString& before, const QString& after, EditSite site, int cursor);

} // namespace Kern

// Keeps what a line edit takes however the text arrives: typing, every paste path (keys,
// context menu, middle click), drag and drop and input methods. A line edit runs every change
// through its validator, which may rewrite the text or refuse it (the box then keeps its text).
// Line breaks leave every kind of box; pasted text goes through the box's typing rule. Text the
// program sets (setText: a loaded file, a focus rule) is shown as it is, line breaks aside.
class LineBreakFilter : public QValidator {
    Q_OBJECT
public:
    LineBreakFilter(QLineEdit* box, Kern::BoxKind kind);
    State validate(QString& input, int& pos) const override;

    // Gives the box a filter of its own.
    static void attach(QLineEdit* box, Kern::BoxKind kind = Kern::BoxKind::Free);

private:
    void rememberSite();

    QPointer<QLineEdit> m_box;
    Kern::BoxKind m_kind;
    // The text the box took last: what a change is measured against.
    mutable QString m_taken;
    // Where the box's next change goes, as the box showed it after its last one.
    Kern::EditSite m_site;
};
