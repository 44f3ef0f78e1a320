#include "classicframe.h"

#include <QPainter>
#include <QStyle>

namespace {

// Blank on either side of the caption where the border line is interrupted.
constexpr int CaptionGap = 2;

QString shownText(const QString& title) {
    QString text = title;
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

} // namespace

int ClassicFrame::borderTop() const {
    return title().isEmpty() ? 0 : fontMetrics().height() / 2;
}

QRect ClassicFrame::captionRect() const {
    if (title().isEmpty())
        return {};
    const QFontMetrics fm = fontMetrics();
    return QRect(captionIndent(fm), 0, fm.horizontalAdvance(shownText(title())), fm.height());
}

int ClassicFrame::captionIndent(const QFontMetrics& fm) {
    // About a character, as classic frames are indented; the indent grows with the font.
    return fm.averageCharWidth() + CaptionGap;
}

void ClassicFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const int top = borderTop();
    const int right = width() - 1;
    const int bottom = height() - 1;
    const QRect caption = captionRect();
    const int gapLeft = caption.isEmpty() ? right : caption.left() - CaptionGap;
    const int gapRight = caption.isEmpty() ? right : caption.right() + CaptionGap;

    // The light rectangle a pixel below and to the right of the dark one, which is drawn over it.
    for (const int shift : {1, 0}) {
        p.setPen(pal.color(shift == 0 ? QPalette::Dark : QPalette::Light));
        const int l = shift;
        const int t = top + shift;
        const int r = right - 1 + shift;
        const int b = bottom - 1 + shift;
        p.drawLine(l, t, l, b);
        p.drawLine(l, b, r, b);
        p.drawLine(r, t, r, b);
        if (gapLeft > l)
            p.drawLine(l, t, gapLeft, t);
        if (gapRight < r)
            p.drawLine(gapRight, t, r, t);
    }

    if (!caption.isEmpty())
        style()->drawItemText(&p, caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, pal,
                              isEnabled(), title(), QPalette::WindowText);
}
