#pragma once

#include "networkaddress.h"
#include "transport.h"

#include <QTcpSocket>
#include <QTimer>

// A serial device server's port carried as a raw TCP stream: the bytes of the line go over
// the connection as they are, and the line's settings are the server's. Connects without
// blocking the thread, gives up after a time-out, and tells a dropped connection as a lost
// port.
class TTcpTransport : public TTransport
{
    Q_OBJECT
public:
    static constexpr int kConnectMs = 5000;

    explicit TTcpTransport(TNetworkAddress address, QObject* parent = nullptr);
    ~TTcpTransport() override;

    QIODevice& Device() override { return m_socket; }
    QString Name() const override { return m_address.Url(); }
    void BeginOpen() override;
    void Close() override;
    // How long connecting (and what a protocol on top does to open) may take.
    void SetTimeout(int ms) { m_timer.setInterval(ms); }

protected:
    // The connection is made; a protocol on top goes on from here and calls Finish.
    virtual void Connected() { Finish({}); }
    // Why opening took too long, as the end of "Cannot connect to HOST port N: ".
    [[nodiscard]] virtual QString TimeoutReason() const;
    // Ends the opening: open when `error` is empty, else closed with the message.
    void Finish(const QString& error);
    [[nodiscard]] QString Failure(const QString& reason) const;
    [[nodiscard]] QTcpSocket& Socket() { return m_socket; }
    [[nodiscard]] const TNetworkAddress& Address() const { return m_address; }
    [[nodiscard]] int TimeoutSeconds() const { return (m_timer.interval() + 999) / 1000; }

private:
    enum class TState
    {
        Closed,
        Opening,
        Open
    };

    void OnError(QAbstractSocket::SocketError error);
    void OnDisconnected();
    void Drop(const QString& reason);

    TNetworkAddress m_address;
    QTcpSocket m_socket;
    QTimer m_timer;
    TState m_state = TState::Closed;
};
