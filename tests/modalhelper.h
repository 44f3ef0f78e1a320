#pragma once

// Answers the next modal window that opens, so that a test never waits for a person.

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace TestHelp {

// Polls for a modal widget (other than one already open) and hands it to the answer.
// Gives up after a few seconds, so a dialog that never opens does not hang the test.
inline void answerModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto tick = std::make_shared<std::function<void()>>();
    *tick = [=]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before) {
            answer(modal);
            return;
        }
        if (clock->elapsed() < timeoutMs)
            QTimer::singleShot(10, *tick);
    };
    QTimer::singleShot(10, *tick);
}

// Answers the next modal window of type T (a dialog that opens first, of another type, is left
// alone), giving up after a few seconds.
template <typename T> void answerModalOf(std::function<void(T*)> answer, int timeoutMs = 5000) {
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto tick = std::make_shared<std::function<void()>>();
    *tick = [=]() {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            answer(modal);
            return;
        }
        if (clock->elapsed() < timeoutMs)
            QTimer::singleShot(10, *tick);
    };
    QTimer::singleShot(10, *tick);
}

} // namespace TestHelp
