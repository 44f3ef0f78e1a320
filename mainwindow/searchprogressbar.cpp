#include "searchprogressbar.h"

#include "searchprogress.h"
#include "twips.h"

#include <cmath>

namespace {
// Per mille: a long search moves the bar visibly even where the whole percent shown stays.
constexpr int Steps = 1000;
} // namespace

SearchProgressBar::SearchProgressBar(QWidget* parent) : QProgressBar(parent) {
    setObjectName(QStringLiteral("Fortschritt"));
    setAccessibleName(QStringLiteral("Fortschritt der Berechnung"));
    setRange(0, Steps);
    setAlignment(Qt::AlignCenter);
    // In the gap between the result label and the result area, as wide as the label: it covers
    // and moves none of the other controls, and the presets scale it with them.
    Twips::place(this, 4410, 4140, 3405, 195);
    hide();
}

void SearchProgressBar::showWork(const SearchProgress& work) {
    if (!work.visible()) {
        hide();
        reset();
        return;
    }
    setValue(int(std::floor(work.fraction() * Steps)));
    setFormat(work.text());
    show();
}
