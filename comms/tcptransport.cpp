#include "tcptransport.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcComms)

TTcpTransport::TTcpTransport(TNetworkAddress address, QObject* parent)
    : TTransport(parent), m_address(std::move(address))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kConnectMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { Finish(Failure(TimeoutReason())); });
    connect(&m_socket, &QAbstractSocket::connected, this, [this] {
        // Requests are single short lines: each must leave at once, not wait for the last
        // reply's acknowledgement.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        Connected();
    });
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, &TTcpTransport::OnError);
    connect(&m_socket, &QAbstractSocket::disconnected, this, &TTcpTransport::OnDisconnected);
}

TTcpTransport::~TTcpTransport()
{
    // Quietly: nobody is to hear of a connection closed on purpose.
    m_socket.disconnect(this);
    m_socket.abort();
}

void TTcpTransport::BeginOpen()
{
    Close();
    m_state = TState::Opening;
    m_timer.start();
    m_socket.connectToHost(m_address.host, m_address.port);
}

void TTcpTransport::Close()
{
    m_timer.stop();
    m_state = TState::Closed;
    m_socket.abort();
}

QString TTcpTransport::TimeoutReason() const
{
    return QStringLiteral("no answer within %1 s.").arg(TimeoutSeconds());
}

QString TTcpTransport::Failure(const QString& reason) const
{
    return QStringLiteral("Cannot connect to %1: %2").arg(m_address.HostAndPort(), reason);
}

void TTcpTransport::Finish(const QString& error)
{
    if (m_state != TState::Opening)
        return;
    m_timer.stop();
    if (!error.isEmpty())
        Close();
    else
        m_state = TState::Open;
    // Queued: whoever hears it may talk over the connection at once, which must not happen
    // inside the socket's own signal (it would not signal arriving data again until then).
    QMetaObject::invokeMethod(
        this, [this, error] { emit Opened(error); }, Qt::QueuedConnection);
}

void TTcpTransport::OnError(QAbstractSocket::SocketError error)
{
    const QString reason = m_socket.errorString();
    if (m_state == TState::Opening) {
        Finish(Failure(reason.endsWith(u'.') ? reason : reason + u'.'));
        return;
    }
    // The server's own close is told by OnDisconnected.
    if (error != QAbstractSocket::RemoteHostClosedError)
        Drop(reason);
}

void TTcpTransport::OnDisconnected()
{
    if (m_state == TState::Opening)
        Finish(Failure(QStringLiteral("the server closed the connection at once.")));
    else
        Drop(QStringLiteral("the server closed the connection"));
}

void TTcpTransport::Drop(const QString& reason)
{
    if (m_state != TState::Open)
        return;
    const QString message = QStringLiteral("The connection to %1 was lost: %2").arg(Name(), reason);
    qCWarning(lcComms) << message;
    Close();
    emit Lost(message);
}
