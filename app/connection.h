#pragma once

#include "commsengine.h"
#include "device.h"
#include "ringnetwork.h"
#include "serialports.h"

#include <QObject>

class IUserPrompts;

// The link to one instrument: the ring addressing, the comms engine and the instrument model,
// opened and closed together. Reads the instrument's identity after every change and says
// when the connection changed or was lost.
class TConnection : public QObject
{
    Q_OBJECT
public:
    explicit TConnection(IUserPrompts& prompts, QObject* parent = nullptr);
    ~TConnection() override;

    [[nodiscard]] TCommsEngine& Engine() { return m_engine; }
    [[nodiscard]] TDevice& Device() { return m_device; }

    // Opens the port as the choice says; the error text, or empty once connected.
    [[nodiscard]] QString Open(const TPortChoice& choice);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_engine.IsOpen(); }
    // The unit address of the connection, 0 for Any.
    [[nodiscard]] int Address() const { return m_engine.InstrumentAddress(); }
    // "Adr:%s, SN:%s, %s Version:%s" once the identity is known, else empty.
    [[nodiscard]] QString IdentityText() const;

signals:
    void Changed(bool connected);
    void IdentityChanged();
    // The port went away; the connection is closed already.
    void Lost(const QString& message);

private:
    void AfterChange();
    void OnPortLost(const QString& message);

    TRingNetwork m_ring;
    TCommsEngine m_engine;
    TDevice m_device;
};
