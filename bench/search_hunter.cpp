// Hunts for slow inputs of the combination search: random tables of several families, then
// hill-climbing on the search's own step count from the slowest ones. The slowest tables are
// checked against the literal odometer where it finishes. Prints the share of tables over 10 ms,
// 100 ms and 1 s of CPU time and the worst tables as requests that can be pasted into
// bench/searchcases.h and replayed.
//
// A slow table that ends at once with its route moved by a hundredth of a micrometre is a tie: its
// window's edge lies on the sums of the lengths' decimals, and the search has to sum every vector
// on the edge to learn on which side of it the double falls. Ties are counted apart, and the
// climbing does not climb into them.
//
// Run: sfx_search_hunter [minutes, default 1] [seed, default from the clock]
//                        [--cap=seconds a table may run before it is cancelled, default 5]

#include "odometer.h"
#include "search.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Kern::MaxCount;
using Kern::SearchRequest;
using Kern::SearchType;

double threadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Trial {
    SearchRequest request;
    std::string family;
    double seconds = 0;
    quint64 steps = 0;
    size_t rows = 0;
    bool cancelled = false;
    bool tieChecked = false;
    bool tie = false;
};

// Runs one search with a watchdog that cancels it after `cap` seconds of wall time.
class Runner {
public:
    explicit Runner(double cap) : m_cap(cap), m_watch([this] { watch(); }) {}
    ~Runner() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_watch.join();
    }

    void run(Trial& trial) {
        Kern::SearchControl control;
        Kern::SearchStats stats;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_control = &control;
            m_deadline = std::chrono::steady_clock::now() +
                         std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(m_cap));
        }
        m_wake.notify_all();
        const double start = threadCpuSeconds();
        trial.rows = Kern::searchCombinations(trial.request, &control, &stats).size();
        trial.seconds = threadCpuSeconds() - start;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_control = nullptr;
        }
        trial.steps = stats.steps;
        trial.cancelled = control.cancel.load();
    }

private:
    void watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_quit) {
            if (m_control && std::chrono::steady_clock::now() >= m_deadline) {
                m_control->cancel = true;
                m_control = nullptr;
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(20));
        }
    }

    double m_cap;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    Kern::SearchControl* m_control = nullptr;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_quit = false;
    std::thread m_watch;
};

using Rng = std::mt19937_64;

double uniform(Rng& rng, double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(rng);
}
int integer(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}
double roundTo(double x, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(x * scale) / scale;
}

// What the window lets through: a length of up to 6 digits before the point and any decimals,
// counts up to 999,999,999, a route up to 10 km here.
SearchRequest finish(std::vector<SearchType> types, double route, Rng& rng) {
    for (SearchType& t : types) {
        const int kind = integer(rng, 0, 9);
        t.minimum = kind == 0 ? integer(rng, 1, 3) : 0;
        t.maximum = kind <= 5 ? 9999 : kind <= 7 ? MaxCount : t.minimum + integer(rng, 0, 40);
    }
    return {types, route, integer(rng, 0, 10), integer(rng, 0, 10), integer(rng, 0, 1) ? 999 : 500};
}

// Every length close to a multiple of one unit that is no short decimal, the route anywhere
// between two multiples.
SearchRequest latticeFamily(Rng& rng) {
    const double unit = std::exp(uniform(rng, std::log(0.2), std::log(60.0)));
    const double stray = unit * std::pow(10.0, -uniform(rng, 1.5, 7));
    const int decimals = integer(rng, 1, 12);
    std::vector<SearchType> types(size_t(integer(rng, 3, 10)));
    for (SearchType& t : types) {
        const int k = std::max(1, int(uniform(rng, 20, 400) / unit));
        t.length = std::max(roundTo(k * unit + uniform(rng, -stray, stray), decimals),
                            std::pow(10.0, -decimals));
    }
    const double multiple = std::floor(uniform(rng, 300, 10000000) / unit);
    return finish(types, roundTo((multiple + uniform(rng, 0, 1)) * unit, integer(rng, 0, 3)), rng);
}

// Track systems: lengths with one or two decimals from 30 to 400 mm.
SearchRequest trackFamily(Rng& rng) {
    std::vector<SearchType> types(size_t(integer(rng, 1, 10)));
    for (SearchType& t : types)
        t.length = roundTo(uniform(rng, 30, 400), integer(rng, 1, 2));
    return finish(types, roundTo(uniform(rng, 300, 10000000), 1), rng);
}

// Anything: a few decimals to many, short lengths and long ones.
SearchRequest anyFamily(Rng& rng) {
    std::vector<SearchType> types(size_t(integer(rng, 1, 10)));
    for (SearchType& t : types)
        t.length = roundTo(std::exp(uniform(rng, std::log(0.01), std::log(999999.0))),
                           integer(rng, 0, 12));
    return finish(types, roundTo(std::exp(uniform(rng, std::log(100.0), std::log(1e7))), 2), rng);
}

// A small change: one length moved by a step of its last decimal, the route moved, a count range
// changed.
SearchRequest mutate(SearchRequest r, Rng& rng) {
    const int what = integer(rng, 0, 2);
    if (what == 0 && !r.types.empty()) {
        SearchType& t = r.types[size_t(integer(rng, 0, int(r.types.size()) - 1))];
        const double step = std::pow(10.0, -integer(rng, 1, 9));
        t.length = std::max(step, t.length + step * integer(rng, -3, 3));
    } else if (what == 1) {
        r.routeLength = std::clamp(
            r.routeLength + uniform(rng, -1, 1) * std::pow(10.0, integer(rng, -2, 3)), 0.0, 1e7);
    } else if (!r.types.empty()) {
        SearchType& t = r.types[size_t(integer(rng, 0, int(r.types.size()) - 1))];
        t.maximum =
            integer(rng, 0, 1) ? MaxCount : std::max<qint64>(t.minimum, integer(rng, 0, 9999));
    }
    return r;
}

// A slow table is a tie when, with its route moved by TieShift up and again down, it takes a tenth
// of its time at most and under 100 ms. So little moves the window off every short decimal grid
// but keeps the sums that lie close to its edge, which a slow table of no tie has to deal with.
constexpr double TieShift = 1.234567e-5;

bool isTie(Trial& t, Runner& quick) {
    if (!t.tieChecked && (t.seconds > 0.1 || t.cancelled)) {
        t.tie = true;
        for (const double shift : {TieShift, -TieShift}) {
            Trial moved;
            moved.request = t.request;
            moved.request.routeLength += shift;
            quick.run(moved);
            t.tie =
                t.tie && !moved.cancelled && moved.seconds < 0.1 && moved.seconds * 10 < t.seconds;
        }
    }
    t.tieChecked = true;
    return t.tie;
}

void print(const Trial& t) {
    std::printf("// %s: %.3f s%s%s, %llu steps, %zu rows\n{{", t.family.c_str(), t.seconds,
                t.cancelled ? " (cancelled)" : "", t.tie ? ", a tie" : "",
                static_cast<unsigned long long>(t.steps), t.rows);
    for (size_t i = 0; i < t.request.types.size(); ++i) {
        const SearchType& s = t.request.types[i];
        std::printf("%s{%.17g, %lld, %lld, 0}", i ? ", " : "", s.length,
                    static_cast<long long>(s.minimum), static_cast<long long>(s.maximum));
    }
    std::printf("}, %.17g, %d, %d, %lld},\n", t.request.routeLength, t.request.shortfallTenths,
                t.request.excessTenths, static_cast<long long>(t.request.limit));
}

} // namespace

int main(int argc, char** argv) {
    double minutes = 1, cap = 5;
    quint64 seed = quint64(std::chrono::steady_clock::now().time_since_epoch().count());
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--cap=", 6) == 0)
            cap = std::atof(argv[i] + 6);
        else if (positional++ == 0)
            minutes = std::atof(argv[i]);
        else
            seed = std::strtoull(argv[i], nullptr, 10);
    }
    std::printf("seed %llu, %.1f minutes, tables cancelled after %.1f s\n",
                static_cast<unsigned long long>(seed), minutes, cap);
    Rng rng(seed);
    Runner runner(cap);
    Runner quick(std::min(cap, 0.5));
    std::vector<Trial> trials;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double budget = minutes * 60;
    // Random tables for the first half of the time, then climbing from the slowest ones.
    while (elapsed() < budget / 2) {
        Trial t;
        const int family = integer(rng, 0, 9);
        t.family = family < 6 ? "lattice" : family < 8 ? "track" : "any";
        t.request = family < 6   ? latticeFamily(rng)
                    : family < 8 ? trackFamily(rng)
                                 : anyFamily(rng);
        runner.run(t);
        trials.push_back(t);
    }
    const size_t randomCount = trials.size();
    // Climbing needs a table that ends and is no tie: the slowest such ones.
    std::vector<Trial> slowest;
    std::copy_if(trials.begin(), trials.end(), std::back_inserter(slowest),
                 [](const Trial& t) { return !t.cancelled; });
    std::sort(slowest.begin(), slowest.end(),
              [](const Trial& a, const Trial& b) { return a.steps > b.steps; });
    std::vector<Trial> climbers;
    for (size_t i = 0; i < slowest.size() && climbers.size() < 8; ++i)
        if (!isTie(slowest[i], quick))
            climbers.push_back(slowest[i]);
    for (size_t k = 0; elapsed() < budget && !climbers.empty(); ++k) {
        Trial& from = climbers[k % climbers.size()];
        Trial t;
        t.family = from.family + ", climbed";
        t.request = mutate(from.request, rng);
        runner.run(t);
        trials.push_back(t);
        // A table that ran into the cap is a find, but no place to climb on from; nor is a tie.
        if (t.steps > from.steps && !t.cancelled && !isTie(trials.back(), quick))
            from = trials.back();
    }

    std::sort(trials.begin(), trials.end(),
              [](const Trial& a, const Trial& b) { return a.seconds > b.seconds; });
    // A cancelled table ran for the cap, whatever CPU time other work on the machine left it.
    const auto share = [&](double over) {
        return 100.0 *
               double(std::count_if(trials.begin(), trials.end(),
                                    [&](const Trial& t) {
                                        return t.seconds > over || (t.cancelled && cap >= over);
                                    })) /
               double(std::max<size_t>(trials.size(), 1));
    };
    std::printf("%zu tables (%zu random, %zu climbed): over 10 ms %.2f %%, over 100 ms %.2f %%, "
                "over 1 s %.2f %%, cancelled %zu\n",
                trials.size(), randomCount, trials.size() - randomCount, share(0.01), share(0.1),
                share(1.0), size_t(std::count_if(trials.begin(), trials.end(), [](const Trial& t) {
                    return t.cancelled;
                })));
    size_t slow = 0, ties = 0, tiesCancelled = 0;
    for (Trial& t : trials) {
        if (t.seconds <= 1.0 && !t.cancelled)
            continue;
        ++slow;
        if (isTie(t, quick)) {
            ++ties;
            tiesCancelled += t.cancelled;
        }
    }
    std::printf("of the %zu over 1 s, %zu are ties (%.2f %% of all tables, %zu cancelled), %zu are "
                "not (%.2f %%)\n",
                slow, ties, 100.0 * double(ties) / double(std::max<size_t>(trials.size(), 1)),
                tiesCancelled, slow - ties,
                100.0 * double(slow - ties) / double(std::max<size_t>(trials.size(), 1)));

    // The slowest tables against the literal odometer where it ends within 20 million vectors.
    int same = 0, differ = 0, unfinished = 0;
    for (size_t i = 0; i < std::min<size_t>(trials.size(), 20); ++i) {
        const Trial& t = trials[i];
        if (t.cancelled) {
            ++unfinished;
            continue;
        }
        const Odometer::Walk walk = Odometer::Literal(t.request, 20000000);
        if (!walk.finished) {
            ++unfinished;
            continue;
        }
        const auto rows = Kern::searchCombinations(t.request);
        bool equal = rows.size() == walk.found.size();
        for (size_t r = 0; equal && r < rows.size(); ++r)
            equal = std::memcmp(&rows[r].total, &walk.found[r].total, sizeof(double)) == 0 &&
                    rows[r].counts == walk.found[r].counts &&
                    rows[r].totalPrice == walk.found[r].totalPrice;
        (equal ? same : differ) += 1;
        if (!equal) {
            std::printf("DIFFERS FROM THE ODOMETER:\n");
            print(t);
        }
    }
    std::printf("slowest 20 against the odometer: %d identical, %d different, %d beyond it\n", same,
                differ, unfinished);
    std::printf("slowest tables:\n");
    for (size_t i = 0; i < std::min<size_t>(trials.size(), 10); ++i)
        print(trials[i]);
    std::printf("slowest tables that are no tie:\n");
    int shown = 0;
    for (size_t i = 0; i < trials.size() && shown < 10; ++i) {
        if (trials[i].seconds > 0.1 && !isTie(trials[i], quick)) {
            print(trials[i]);
            ++shown;
        }
    }
    return differ == 0 ? 0 : 1;
}
