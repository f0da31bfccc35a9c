#pragma once

#include "instrumentlink.h"
#include "serialports.h"

#include <QObject>
#include <QTimer>

#include <optional>

class IUserPrompts;

// The viewer's connection: the instrument link opened and closed as the user chooses, reopened
// by itself when a lost port comes back. Reads the instrument's identity after every change
// and says when the connection changed or was lost.
class TConnection : public QObject
{
    Q_OBJECT
public:
    explicit TConnection(IUserPrompts& prompts, QObject* parent = nullptr);
    ~TConnection() override;

    [[nodiscard]] TInstrumentLink& Link() { return m_link; }
    [[nodiscard]] TCommsEngine& Engine() { return m_link.Engine(); }
    [[nodiscard]] TDevice& Device() { return m_link.Device(); }

    static constexpr int kRetryMs = 500;

    // Opens the port as the choice says; the error text, or empty once connected.
    [[nodiscard]] QString Open(const TPortChoice& choice);
    // Closes the port (and stops waiting for a lost one to come back).
    void Close();
    // True while a lost port is waited for, to be reopened as it was.
    [[nodiscard]] bool WaitingForPort() const { return m_retry.isActive(); }
    [[nodiscard]] QString PortName() const { return m_choice.portName; }
    // The choices of the last connection made in this run, address and all; none before.
    [[nodiscard]] std::optional<TPortChoice> LastChoice() const
    {
        return m_choice.portName.isEmpty() ? std::nullopt : std::optional(m_choice);
    }
    [[nodiscard]] bool IsOpen() const { return m_link.IsOpen(); }
    // The unit address of the connection, 0 for Any.
    [[nodiscard]] int Address() const { return m_link.Address(); }
    // "Adr:%s, SN:%s, %s Version:%s" once the identity is known, what became of a lost port
    // while it is waited for, else empty.
    [[nodiscard]] QString IdentityText() const;

signals:
    void Changed(bool connected);
    void IdentityChanged();
    // The port went away, said before the change it makes; `waiting`: it will be reopened
    // by itself when it comes back.
    void Lost(const QString& message, bool waiting);

private:
    void AfterChange();
    void OnPortLost(const QString& message);
    void Retry();
    void OnReopened(const QString& error);

    TInstrumentLink m_link;
    TPortChoice m_choice;
    QTimer m_retry;
    QString m_lostMessage;
    bool m_reopening = false; // a retry's opening is under way
};
