#pragma once

// Drives a modal window from inside its exec(), as the user's clicks and keys would: once
// the window is the active modal widget (and the test's `ready` holds), the action runs on
// it. Until then the driver only looks and returns, so requests that wait before the window
// opens are not held up. A window is picked by its class, or by its object name.
#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class TModalDriver : public QObject
{
public:
    using Pick = std::function<bool(QWidget&)>;
    using Act = std::function<void(QWidget&)>;

    enum class TLife
    {
        Once,        // acts on the first such window, then looks no more
        Repeat,      // acts on every such window that comes up
        OnceThenGone // as Once, and deletes itself when it is done looking
    };

    TModalDriver(Pick pick, Act act, std::function<bool()> ready = {}, int timeoutMs = 5000,
                 TLife life = TLife::Once)
        : m_pick(std::move(pick)), m_act(std::move(act)), m_ready(std::move(ready)),
          m_deadline(timeoutMs), m_life(life)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &TModalDriver::Look);
        m_timer.start();
    }
    [[nodiscard]] bool Answered() const { return m_answered; }
    // Looking for the window has ended: it was acted on, or the time is up.
    [[nodiscard]] bool Done() const { return !m_timer.isActive(); }

private:
    void Look()
    {
        QWidget* shown = QApplication::activeModalWidget();
        const bool due = shown && shown != m_last && m_pick(*shown) && (!m_ready || m_ready());
        if (!due) {
            if (m_life != TLife::Repeat && m_deadline.hasExpired())
                Stop();
            return;
        }
        m_answered = true;
        m_last = shown;
        if (m_life != TLife::Repeat)
            Stop();
        m_act(*shown);
    }
    void Stop()
    {
        m_timer.stop();
        if (m_life == TLife::OnceThenGone)
            deleteLater();
    }

    Pick m_pick;
    Act m_act;
    std::function<bool()> m_ready;
    QDeadlineTimer m_deadline;
    TLife m_life;
    bool m_answered = false;
    QPointer<QWidget> m_last; // gone with its window: a new one may take its address
    QTimer m_timer;
};

// Acts once on the next modal window of class T (any, for QWidget), within `timeoutMs`; the
// driver goes by itself afterwards.
template <class T>
void WhenShown(std::function<void(T&)> act, std::function<bool()> ready = {}, int timeoutMs = 5000)
{
    new TModalDriver([](QWidget& w) { return qobject_cast<T*>(&w) != nullptr; },
                     [act](QWidget& w) { act(*qobject_cast<T*>(&w)); }, std::move(ready), timeoutMs,
                     TModalDriver::TLife::OnceThenGone);
}

// Acts on the modal window named `name` for as long as it lives: once, or on every such
// window with `repeat`.
class ModalAnswer : public TModalDriver
{
public:
    ModalAnswer(const char* name, const std::function<void(QWidget*)>& act, bool repeat = false)
        : TModalDriver([n = QString::fromLatin1(name)](QWidget& w) { return w.objectName() == n; },
                       [act](QWidget& w) { act(&w); }, {}, 5000,
                       repeat ? TLife::Repeat : TLife::Once)
    {
    }
};
