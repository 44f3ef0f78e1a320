#include "windowplacement.h"

#include <QDeadlineTimer>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace WindowPlacement {

namespace {

// The frame as the window system reports it (asked afresh: the widget keeps an older copy).
// While the window manager is still building the frame (it reparents the window into a frame of
// 1 x 1 pixels first) the report can be a frame smaller than the window: that is no frame yet.
std::optional<QMargins> reportedMargins(const QWidget* window) {
    const QWindow* handle = window->windowHandle();
    QMargins m;
    if (handle) {
        m = handle->frameMargins();
    } else {
        const QRect frame = window->frameGeometry();
        const QRect client = window->geometry();
        m = QMargins(client.left() - frame.left(), client.top() - frame.top(),
                     frame.right() - client.right(), frame.bottom() - client.bottom());
    }
    if (m.left() < 0 || m.top() < 0 || m.right() < 0 || m.bottom() < 0)
        return std::nullopt;
    return m;
}

// How long after framing the window manager's own moves are undone: it may place a window it
// framed late by its own rules, after the window was placed.
constexpr int GuardMs = 1000;
// At most this many corrections a showing, in case the window manager keeps refusing.
constexpr int MaxRuns = 8;

// Watches one window: places it when it is shown and again when its frame turns out other
// than the placement assumed, or the window manager moved or sized it while framing it. A
// changed decoration comes with no event at all, hence the few checks after showing.
class Keeper : public QObject {
public:
    Keeper(QWidget* window, std::function<void()> place, Clock clock)
        : QObject(window), m_window(window), m_place(std::move(place)), m_clock(std::move(clock)) {
        setObjectName(QStringLiteral("qt_placement"));
        window->installEventFilter(this);
        watchHandle();
    }

    void setPlace(std::function<void()> place, Clock clock) {
        m_place = std::move(place);
        m_clock = std::move(clock);
    }

    // A new showing: the owner places the window, the checks watch what follows.
    void restart() {
        m_runs = 0;
        m_nudges = 0;
        m_framed = false;
        run();
        if (!m_framed) // a framed window had its checks scheduled by run()
            scheduleChecks();
    }

private:
    void run() {
        if (m_running || !m_window || m_runs >= MaxRuns)
            return;
        m_running = true;
        ++m_runs;
        m_place();
        keepTitleBarOnScreen(m_window);
        m_margins = frameMargins(m_window);
        m_placed = m_window->geometry();
        if (isFramed(m_window) && !m_framed) {
            m_framed = true;
            m_framedAt = m_clock();
            scheduleChecks();
        }
        m_running = false;
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            watchHandle();
            check();
            break;
        default:
            break;
        }
        return false;
    }

    void watchHandle() {
        QWindow* handle = m_window ? m_window->windowHandle() : nullptr;
        if (handle && handle != m_handle) {
            m_handle = handle;
            handle->installEventFilter(this);
        }
    }

    // A hidden window, or one the user has maximised or minimised, is not placed.
    bool leftAlone() const {
        return m_running || !m_window || !m_window->isVisible() ||
               (m_window->windowState() &
                (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    }

    void check() {
        if (leftAlone())
            return;
        if (m_window->windowHandle() && m_window->windowHandle()->isExposed() &&
            !reportedMargins(m_window) && m_nudges < MaxRuns) {
            // On the screen, but Qt still holds the frame it saw half built. Asking for the same
            // geometry again makes the window manager confirm it, and Qt reads the frame anew.
            ++m_nudges;
            m_window->windowHandle()->setGeometry(m_window->windowHandle()->geometry());
            QTimer::singleShot(50, this, [this] { check(); });
            return;
        }
        const bool guarding = !m_framed || m_clock() - m_framedAt < GuardMs;
        if ((isFramed(m_window) && !m_framed) || frameMargins(m_window) != m_margins ||
            (guarding && m_window->geometry() != m_placed))
            run();
    }

    void scheduleChecks() {
        for (int ms : {50, 150, 400, GuardMs - 50})
            QTimer::singleShot(ms, this, [this] { check(); });
        // A window manager that frames late may also move the window without telling Qt. Asking
        // for the geometry Qt holds once more puts the window there, or brings the news.
        QTimer::singleShot(GuardMs - 200, this, [this] { reassert(); });
    }

    void reassert() {
        QWindow* handle = m_window ? m_window->windowHandle() : nullptr;
        if (leftAlone() || !m_framed || !handle || !handle->isExposed())
            return;
        handle->setGeometry(handle->geometry());
    }

    QPointer<QWidget> m_window;
    QPointer<QWindow> m_handle;
    std::function<void()> m_place;
    QMargins m_margins;
    QRect m_placed;
    Clock m_clock;
    qint64 m_framedAt = 0;
    int m_runs = 0;
    int m_nudges = 0;
    bool m_framed = false;
    bool m_running = false;
};

} // namespace

bool isFramed(const QWidget* window) {
    if (!window)
        return false;
    const std::optional<QMargins> m = reportedMargins(window);
    if (!m)
        return false;
    if (!m->isNull())
        return true;
    const QWindow* handle = window->windowHandle();
    return handle && handle->isExposed();
}

QMargins frameMargins(const QWidget* window) {
    if (!window || !window->isWindow())
        return {};
    if (isFramed(window))
        return *reportedMargins(window);
    const QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    return owner && isFramed(owner) ? *reportedMargins(owner) : QMargins();
}

qint64 steadyMs() {
    return QDeadlineTimer::current().deadline();
}

void keep(QWidget* window, std::function<void()> place, Clock clock) {
    if (!window)
        return;
    Keeper* keeper = nullptr;
    for (QObject* child : window->children())
        if ((keeper = dynamic_cast<Keeper*>(child)))
            break;
    if (keeper)
        keeper->setPlace(std::move(place), std::move(clock));
    else
        keeper = new Keeper(window, std::move(place), std::move(clock));
    keeper->restart();
}

void centreIn(QWidget* window, const QRect& area) {
    if (!window)
        return;
    const QMargins m = frameMargins(window);
    const QSize outer = window->size().grownBy(m);
    const QPoint frameTopLeft(area.x() + (area.width() - outer.width()) / 2,
                              area.y() + (area.height() - outer.height()) / 2);
    window->setGeometry(QRect(frameTopLeft + QPoint(m.left(), m.top()), window->size()));
}

void keepTitleBarOnScreen(QWidget* window) {
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        return;
    const QRect avail = screen->availableGeometry();
    const QMargins m = frameMargins(window);
    const QRect frame(window->geometry().topLeft() - QPoint(m.left(), m.top()),
                      window->size().grownBy(m));
    int x = frame.x();
    if (frame.width() > avail.width())
        x = avail.left();
    else
        x = std::clamp(x, avail.left(), avail.right() + 1 - frame.width());
    const int titleBar = std::max(m.top(), 1);
    const int y =
        std::clamp(frame.y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - titleBar));
    if (x != frame.x() || y != frame.y())
        window->setGeometry(QRect(QPoint(x + m.left(), y + m.top()), window->size()));
}

} // namespace WindowPlacement
