#include "linebreakfilter.h"

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

} // namespace Kern

QValidator::State LineBreakFilter::validate(QString& input, int& pos) const {
    input = Kern::withoutLineBreaks(input, &pos);
    return Acceptable;
}

void LineBreakFilter::attach(QLineEdit* box) {
    box->setValidator(new LineBreakFilter(box));
}
