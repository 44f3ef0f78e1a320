#include "linebreakfilter.h"

#include "inputrules.h"

#include <QLineEdit>

#include <algorithm>

namespace Kern {

namespace {
bool isBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}
} // namespace

QString withoutLineBreaks(const QString& text, int* cursor) {
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString out;
    out.reserve(text.size());
    int newCursor = cursor ? *cursor : 0;
    const int n = int(text.size());
    for (int i = 0; i < n;) {
        if (!isBreak(text[i])) {
            out += text[i++];
            continue;
        }
        const int start = i;
        while (i < n && isBreak(text[i]))
            ++i;
        const bool inside = start > 0 && i < n;
        if (inside)
            out += QLatin1Char(' ');
        // A cursor inside or after the run moves by what the run lost.
        if (cursor && *cursor > start)
            newCursor -= std::min(*cursor, i) - start - (inside ? 1 : 0);
    }
    if (cursor)
        *cursor = std::clamp(newCursor, 0, int(out.size()));
    return out;
}

bool takePasted(const QString& pasted, const QString& around, BoxKind kind, QString* taken) {
    if (kind == BoxKind::Free) {
        *taken = pasted;
        return true;
    }
    QString out;
    out.reserve(pasted.size());
    for (const QChar c : pasted) {
        // The rule lets Backspace pass as a key; in a text it is no character to insert.
        if (c == QChar(8))
            return false;
        const KeyVerdict verdict =
            kind == BoxKind::Length ? lengthKeyRule(c, around + out) : digitsKeyRule(c);
        if (verdict.action == KeyVerdict::Drop)
            return false;
        out += verdict.action == KeyVerdict::Replace ? verdict.replacement : c;
    }
    *taken = out;
    return true;
}

TextEdit editBetween(const QString& before, const QString& after, EditSite site, int cursor) {
    const int b = int(before.size());
    const int a = int(after.size());
    const int kept = b - site.length;
    if (site.at >= 0 && site.length >= 0 && site.at + site.length <= b && a >= kept &&
        QStringView(after).left(site.at) == QStringView(before).left(site.at) &&
        QStringView(after).right(kept - site.at) == QStringView(before).mid(site.at + site.length))
        return {site.at, site.length, after.mid(site.at, a - kept)};
    cursor = std::clamp(cursor, 0, a);
    // What follows the cursor was there before; the change ends at the cursor at the latest.
    const int maxSuffix = std::min(b, a - cursor);
    int suffix = 0;
    while (suffix < maxSuffix && before[b - 1 - suffix] == after[a - 1 - suffix])
        ++suffix;
    const int maxPrefix = std::min(b, a) - suffix;
    int prefix = 0;
    while (prefix < maxPrefix && before[prefix] == after[prefix])
        ++prefix;
    return {prefix, b - suffix - prefix, after.mid(prefix, a - suffix - prefix)};
}

} // namespace Kern

LineBreakFilter::LineBreakFilter(QLineEdit* box, Kern::BoxKind kind)
    : QValidator(box), m_box(box), m_kind(kind), m_taken(box ? box->text() : QString()) {
    if (!box)
        return;
    // The box tells where its cursor and selection went once a change is through; a change in
    // the making has already taken the selection away when its text reaches validate().
    connect(box, &QLineEdit::cursorPositionChanged, this, &LineBreakFilter::rememberSite);
    connect(box, &QLineEdit::selectionChanged, this, &LineBreakFilter::rememberSite);
    rememberSite();
}

void LineBreakFilter::rememberSite() {
    if (m_box->hasSelectedText())
        m_site = {m_box->selectionStart(), int(m_box->selectionLength())};
    else
        m_site = {m_box->cursorPosition(), 0};
}

QValidator::State LineBreakFilter::validate(QString& input, int& pos) const {
    // A change the user made leaves the box "modified"; setText() clears that flag before the
    // new text is checked. The program's own texts are shown as they are, line breaks aside.
    if (!m_box || !m_box->isModified()) {
        input = Kern::withoutLineBreaks(input, &pos);
        m_taken = input;
        return Acceptable;
    }
    const Kern::TextEdit edit = Kern::editBetween(m_taken, input, m_site, pos);
    const int insertedEnd = edit.at + int(edit.inserted.size());
    int inPiece = std::clamp(pos - edit.at, 0, int(edit.inserted.size()));
    QString piece = Kern::withoutLineBreaks(edit.inserted, &inPiece);
    const QString around = m_taken.left(edit.at) + m_taken.mid(edit.at + edit.removed);
    if (!Kern::takePasted(piece, around, m_kind, &piece))
        return Invalid; // the line edit goes back to the text it had
    if (pos >= insertedEnd)
        pos += int(piece.size()) - int(edit.inserted.size());
    else if (pos > edit.at)
        pos = edit.at + inPiece;
    input = around.left(edit.at) + piece + around.mid(edit.at);
    m_taken = input;
    return Acceptable;
}

void LineBreakFilter::attach(QLineEdit* box, Kern::BoxKind kind) {
    box->setValidator(new LineBreakFilter(box, kind));
}
