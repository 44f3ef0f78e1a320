#pragma once

#include "search.h"
#include "searchprogress.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QThread;

// Runs the enumeration of a search on a worker thread, so that the window stays responsive and
// the search can be stopped; reports the running count, the share of the work done and the end
// on the window's thread.
class SearchRunner : public QObject {
    Q_OBJECT
public:
    using SearchFunction = std::function<std::vector<Kern::FoundCombination>(
        const Kern::SearchRequest&, Kern::SearchControl*)>;
    // A monotonic clock; the steady clock unless a test puts in another.
    using Clock = std::function<std::chrono::nanoseconds()>;

    explicit SearchRunner(QObject* parent = nullptr);
    ~SearchRunner() override; // stops a running search and waits for it

    bool isRunning() const { return m_thread != nullptr; }
    // Starts a search; does nothing while one runs.
    void start(const Kern::SearchRequest& request);
    // Asks a running search to stop; finished() follows with what it found so far. A stop that
    // comes once the search has returned changes nothing: finished() reports it complete.
    void stop();
    // Stops a running search and waits for its thread, without reporting (for closing).
    void stopAndWait();
    // What runs on the worker; the combination search unless a test puts in another.
    void setSearchFunction(SearchFunction function) { m_search = std::move(function); }
    void setClock(Clock clock) { m_now = std::move(clock); }

    // Reads the running search's count and share of work done and reports what changed; runs
    // about 30 times a second while a search runs.
    void tick();

signals:
    void progress(qint64 found);
    // The share of the work done, or whether it shows at all, has changed.
    void workProgress(const SearchProgress& work);
    // stopped: the rows are only the first ones of the full result.
    void finished(const std::vector<Kern::FoundCombination>& rows, double seconds, bool stopped);

private:
    void reportCount();
    void collect();
    std::chrono::milliseconds elapsed() const;

    // Whichever comes first, the search's return or a stop, decides how the search ended.
    enum Ending { Running, Returned, Stopped };

    SearchFunction m_search;
    QThread* m_thread = nullptr; // a child of the runner while it runs
    std::unique_ptr<Kern::SearchControl> m_control;
    std::atomic<int> m_ending{Returned};
    qint64 m_limit = 0;
    std::vector<Kern::FoundCombination> m_rows;
    Clock m_now;
    std::chrono::nanoseconds m_started{0};
    QTimer m_poll;
    qint64 m_shown = 0;
    SearchProgress m_work;
};
