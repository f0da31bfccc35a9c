#pragma once

// Drives a modal dialog from inside its exec(): the action runs once the dialog is the active
// modal widget, as the user's clicks and keys would. Until then the check only looks and
// returns, so requests that wait before the dialog opens are not held up.
#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

template <class T> void WhenShown(const std::function<void(T&)>& act, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [timer, act, deadline] {
        T* shown = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!shown && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (shown)
            act(*shown);
    });
    timer->start();
}
