#include "searchrunner.h"

#include <QThread>

SearchRunner::SearchRunner(QObject* parent)
    : QObject(parent),
      m_search([](const Kern::SearchRequest& request, Kern::SearchControl* control) {
          return Kern::searchCombinations(request, control);
      }),
      m_now([] { return std::chrono::steady_clock::now().time_since_epoch(); }) {
    // The running count shows about 30 times a second, as often as the eye can follow.
    m_poll.setInterval(33);
    connect(&m_poll, &QTimer::timeout, this, &SearchRunner::tick);
}

SearchRunner::~SearchRunner() {
    stopAndWait();
}

void SearchRunner::start(const Kern::SearchRequest& request) {
    if (m_thread)
        return;
    m_control = std::make_unique<Kern::SearchControl>();
    m_rows.clear();
    m_shown = 0;
    m_work.reset();
    m_limit = request.limit;
    m_ending = Running;
    // The thread only writes m_rows; the window's thread reads them after wait().
    m_thread = QThread::create([this, request] {
        m_rows = m_search(request, m_control.get());
        int running = Running;
        m_ending.compare_exchange_strong(running, Returned);
    });
    m_thread->setParent(this);
    connect(m_thread, &QThread::finished, this, &SearchRunner::collect);
    m_started = m_now();
    m_thread->start();
    m_poll.start();
}

void SearchRunner::stop() {
    int running = Running;
    if (m_control && m_ending.compare_exchange_strong(running, Stopped))
        m_control->cancel = true;
}

void SearchRunner::stopAndWait() {
    if (!m_thread)
        return;
    stop();
    m_thread->wait();
    m_poll.stop();
    delete m_thread;
    m_thread = nullptr;
}

std::chrono::milliseconds SearchRunner::elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_now() - m_started);
}

void SearchRunner::reportCount() {
    const qint64 found = m_control ? m_control->found.load() : 0;
    if (found != m_shown) {
        m_shown = found;
        emit progress(found);
    }
}

void SearchRunner::tick() {
    reportCount();
    // A search that has returned or is stopping is about to end: a bar that first showed now
    // would only flash.
    if (!m_control || m_ending != Running)
        return;
    const SearchProgress before = m_work;
    m_work.update(elapsed(), m_control->progress.load());
    if (m_work.visible() && (!before.visible() || m_work.text() != before.text() ||
                             m_work.fraction() != before.fraction()))
        emit workProgress(m_work);
}

void SearchRunner::collect() {
    if (!m_thread)
        return;
    m_thread->wait();
    m_poll.stop();
    const double seconds = double((m_now() - m_started).count()) / 1e9;
    // A search that reached its limit, or examined only its first vector, is complete however
    // late the stop came.
    const bool stopped = m_ending == Stopped && m_limit > 0 && qint64(m_rows.size()) < m_limit;
    delete m_thread;
    m_thread = nullptr;
    reportCount(); // the last count always shows
    if (m_work.visible()) {
        m_work.reset();
        emit workProgress(m_work);
    }
    const std::vector<Kern::FoundCombination> rows = std::move(m_rows);
    m_rows.clear();
    emit finished(rows, seconds, stopped);
}
