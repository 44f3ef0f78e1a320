#pragma once

#include <QString>

#include <chrono>
#include <deque>

// What the window tells of a running search: nothing during the first half second, then the
// share of the work done and, once the search has come far enough at a steady pace, about how
// long it still takes. No guess is better than a wild one: while the pace changes a lot, the
// time to go is left out.
class SearchProgress {
public:
    using Milliseconds = std::chrono::milliseconds;

    // A search that ends sooner never shows its progress.
    static constexpr Milliseconds ShowAfter{500};

    // Starts over for a new search.
    void reset();
    // The share of the work done (0..1) after the time since the search started. Only later
    // times count: the same moment seen twice changes nothing.
    void update(Milliseconds elapsed, double fraction);

    bool visible() const { return m_visible; }
    double fraction() const { return m_fraction; }
    // The time still to go in whole seconds, or -1 while no honest estimate can be given.
    long long secondsLeft() const { return m_secondsLeft; }
    // "37 %", or "37 % – noch etwa 12 Sek." with an estimate.
    QString text() const;

private:
    struct Sample {
        Milliseconds elapsed;
        double fraction;
    };
    void estimate();

    std::deque<Sample> m_recent; // the last second or so, oldest first
    bool m_visible = false;
    double m_fraction = 0.0;
    long long m_secondsLeft = -1;
};
