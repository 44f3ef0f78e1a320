#include "searchprogress.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

using Milliseconds = SearchProgress::Milliseconds;

// The pace is judged over the last second; shorter spans are too noisy to extrapolate from.
constexpr Milliseconds PaceSpan{1000};
constexpr Milliseconds ShortestPaceSpan{500};
// The total times foreseen within the span may differ by this factor at most.
constexpr double SteadyRatio = 1.2;

} // namespace

void SearchProgress::reset() {
    *this = SearchProgress();
}

void SearchProgress::update(Milliseconds elapsed, double fraction) {
    if (!m_recent.empty() && elapsed <= m_recent.back().elapsed)
        return;
    // The search promises a share that never falls; a value outside 0..1 is no share at all.
    m_fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, m_fraction, 1.0);
    m_recent.push_back({elapsed, m_fraction});
    // Keep one sample at or beyond the span, so that the span judged is a whole second.
    while (m_recent.size() > 2 && elapsed - m_recent[1].elapsed >= PaceSpan)
        m_recent.pop_front();
    m_visible = m_visible || elapsed >= ShowAfter;
    estimate();
}

// The total time foreseen from each sample is its elapsed time over its share done; the pace is
// steady when these agree over the span.
void SearchProgress::estimate() {
    m_secondsLeft = -1;
    const Sample& first = m_recent.front();
    const Sample& last = m_recent.back();
    if (last.elapsed - first.elapsed < ShortestPaceSpan || last.fraction <= first.fraction ||
        first.fraction <= 0.0)
        return;
    double lowest = HUGE_VAL;
    double highest = 0.0;
    for (const Sample& s : m_recent) {
        const double total = double(s.elapsed.count()) / s.fraction;
        lowest = std::min(lowest, total);
        highest = std::max(highest, total);
    }
    if (highest > lowest * SteadyRatio)
        return;
    const double left = (double(last.elapsed.count()) / last.fraction) * (1.0 - last.fraction);
    m_secondsLeft = std::max(1LL, std::llround(left / 1000.0));
}

QString SearchProgress::text() const {
    const QLocale german(QLocale::German, QLocale::Germany);
    // Whole percent, rounded down (100 % only once the work is all done), but not below a share
    // such as 0.29 that the double holds a hair too small.
    const int percent = int(std::floor(m_fraction * 100.0 + 1e-9));
    const QString done = german.toString(percent) + QStringLiteral(" %");
    if (m_secondsLeft < 0)
        return done;
    const QString left =
        m_secondsLeft < 60
            ? german.toString(m_secondsLeft) + QStringLiteral(" Sek.")
            : german.toString(std::llround(double(m_secondsLeft) / 60.0)) + QStringLiteral(" Min.");
    return done + QStringLiteral(" – noch etwa ") + left;
}
