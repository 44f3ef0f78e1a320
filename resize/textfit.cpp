#include "textfit.h"

#include "classicframe.h"
#include "controlaccess.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace TextFit {

namespace {

// Steps in which a font shrinks, and how far at most: below that a caption is better cut than
// unreadable.
constexpr double StepPoints = 0.25;
constexpr double SmallestShare = 0.6;

enum class Kind { None, Label, Button, Frame };

Kind kindOf(const QWidget* w) {
    if (qobject_cast<const QLabel*>(w))
        return Kind::Label;
    if (qobject_cast<const QAbstractButton*>(w))
        return Kind::Button;
    if (qobject_cast<const QGroupBox*>(w))
        return Kind::Frame;
    return Kind::None;
}

QRect buttonRoom(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    return button->style()->subElementRect(contents, &option, button);
}

bool labelFits(const QLabel* label, const QFontMetrics& fm) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
        return true;
    const int m = label->margin();
    const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return room.contains(fm.boundingRect(room, flags, label->text()));
}

bool fitsAt(const QList<QWidget*>& group, double points) {
    for (const QWidget* w : group) {
        QFont font = w->font();
        font.setPointSizeF(points);
        if (!fits(w, font))
            return false;
    }
    return true;
}

// The largest size, from points down in steps to the smallest share, at which fitsAt(size)
// holds; about the smallest share when none does.
template <typename Fits> double largestFitting(double points, Fits fitsAt) {
    double size = points;
    while (!fitsAt(size) && size - StepPoints >= points * SmallestShare)
        size -= StepPoints;
    return size;
}

// The largest size at which every control of the group fits.
double fittedSize(const QList<QWidget*>& group, double points) {
    return largestFitting(points, [&](double size) { return fitsAt(group, size); });
}

void setPoints(QWidget* w, double points) {
    if (w->font().pointSizeF() == points)
        return;
    QFont font = w->font();
    font.setPointSizeF(points);
    w->setFont(font);
}

} // namespace

bool fits(const QWidget* control, const QFont& font) {
    const QFontMetrics fm(font);
    switch (kindOf(control)) {
    case Kind::Label:
        return labelFits(static_cast<const QLabel*>(control), fm);
    case Kind::Button: {
        const auto* button = static_cast<const QAbstractButton*>(control);
        if (button->text().isEmpty())
            return true;
        const QSize need = fm.size(Qt::TextShowMnemonic, button->text());
        const QRect room = buttonRoom(button);
        return need.width() <= room.width() && need.height() <= room.height();
    }
    case Kind::Frame: {
        // A frame's caption keeps its indent on either side.
        const QString title = static_cast<const QGroupBox*>(control)->title();
        return title.isEmpty() ||
               fm.size(Qt::TextShowMnemonic, title).width() + 2 * ClassicFrame::captionIndent(fm) <=
                   control->width();
    }
    case Kind::None:
        break;
    }
    return true;
}

void fitCaptions(QWidget* window) {
    // Groups in the order the controls are met: parent, kind and font alike.
    QList<QList<QWidget*>> groups;
    QMap<QString, int> groupOf;
    for (QObject* o : ControlAccess::controls(window)) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || kindOf(w) == Kind::None || w->font().pointSizeF() <= 0)
            continue;
        const QString key = QString::number(quintptr(w->parentWidget())) + QLatin1Char('/') +
                            QString::number(int(kindOf(w))) + QLatin1Char('/') + w->font().key();
        const auto it = groupOf.constFind(key);
        if (it == groupOf.constEnd()) {
            groupOf.insert(key, int(groups.size()));
            groups.append({w});
        } else {
            groups[*it].append(w);
        }
    }
    for (const QList<QWidget*>& group : groups) {
        const double size = fittedSize(group, group.first()->font().pointSizeF());
        for (QWidget* w : group)
            setPoints(w, size);
    }
}

void fitHeadings(QHeaderView* header, double points) {
    if (!header || !header->model() || points <= 0)
        return;
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    auto allFit = [&](double size) {
        QFont font = header->font();
        font.setPointSizeF(size);
        const QFontMetrics fm(font);
        if (fm.height() > header->height())
            return false;
        for (int c = 0; c < header->count(); ++c) {
            const QString text = header->model()->headerData(c, header->orientation()).toString();
            if (fm.horizontalAdvance(text) + 2 * margin > header->sectionSize(c))
                return false;
        }
        return true;
    };
    setPoints(header, largestFitting(points, allFit));
}

} // namespace TextFit
