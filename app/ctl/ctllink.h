#pragma once

#include "commsengine.h"
#include "device.h"
#include "ringnetwork.h"
#include "serialports.h"

#include <QElapsedTimer>
#include <QObject>

class IUserPrompts;

// The tool's link to the instruments on one port: ring framing, the comms engine and the
// instrument model, opened and addressed together as the viewer's connection does it. It
// counts the model's requests that went unanswered, so that a tree read in silence is never
// taken for a complete one, and keeps a session alive through a long tree read.
class TCtlLink : public QObject
{
    Q_OBJECT
public:
    explicit TCtlLink(IUserPrompts& prompts, QObject* parent = nullptr);
    ~TCtlLink() override;

    [[nodiscard]] TCommsEngine& Engine() { return m_engine; }
    [[nodiscard]] TDevice& Device() { return m_device; }

    // Opens the port as the choice says; the error text, or empty once open.
    [[nodiscard]] QString Open(const TPortChoice& choice);
    [[nodiscard]] bool RingMode() const { return m_ring.RingMode(); }
    // Talks to another instrument of the ring from here on; its model starts empty.
    void SetAddress(int address);
    [[nodiscard]] int Address() const { return m_engine.InstrumentAddress(); }

    // While on, a session keep-alive goes out between the model's requests every 5 s: the
    // requests of a tree read follow each other without the idle tick that would send it,
    // and at a slow baud rate the read outlasts the instrument's session time-out.
    void SetKeepAlive(bool on);

    // Requests of the model that got no reply (time-out, port gone) since the last reset.
    [[nodiscard]] int Unanswered() const { return m_unanswered; }
    void ResetUnanswered() { m_unanswered = 0; }

private:
    [[nodiscard]] QString Transact(const QString& request);

    TRingNetwork m_ring;
    TCommsEngine m_engine;
    TDevice m_device;
    int m_unanswered = 0;
    bool m_keepAlive = false;
    QElapsedTimer m_sinceKeepAlive;
};
