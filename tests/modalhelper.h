#pragma once

// Answers the next modal window that opens, so that a test never waits for a person.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace TestHelp {

// The test function and data row running now.
inline QByteArray currentTest() {
    return QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
}

// Polls every 10 ms until find() names a window, hands it to answer and ends; gives up after
// timeoutMs, or once the test that started it is over (its answer may point into that test's
// locals), so a dialog that never opens neither hangs the test nor disturbs the next one. The
// poll belongs to the application; a test that knows no dialog will come may delete it.
inline QPointer<QTimer> pollFor(std::function<QWidget*()> find,
                                std::function<void(QWidget*)> answer, int timeoutMs) {
    auto* timer = new QTimer(qApp);
    QElapsedTimer clock;
    clock.start();
    const QByteArray test = currentTest();
    QObject::connect(timer, &QTimer::timeout, timer, [=]() {
        if (currentTest() != test) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        QWidget* found = find();
        if (!found && clock.elapsed() < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        if (found)
            answer(found);
    });
    timer->start(10);
    return timer;
}

// Answers the next modal widget (other than one already open).
inline QPointer<QTimer> answerModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000) {
    QPointer<QWidget> before = QApplication::activeModalWidget();
    return pollFor(
        [before]() -> QWidget* {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != before ? modal : nullptr;
        },
        answer, timeoutMs);
}

// Answers the next modal window of type T (one of another type that opens first is left alone).
template <typename T>
QPointer<QTimer> answerModalOf(std::function<void(T*)> answer, int timeoutMs = 5000) {
    return pollFor([]() -> QWidget* { return qobject_cast<T*>(QApplication::activeModalWidget()); },
                   [answer](QWidget* w) { answer(static_cast<T*>(w)); }, timeoutMs);
}

// Answers the next message box with its default button, noting "title|text" in *seen.
inline QPointer<QTimer> noteMessage(QString* seen) {
    return answerModal([seen](QWidget* box) {
        if (auto* message = qobject_cast<QMessageBox*>(box))
            *seen = message->windowTitle() + QLatin1Char('|') + message->text();
        box->close();
    });
}

} // namespace TestHelp
