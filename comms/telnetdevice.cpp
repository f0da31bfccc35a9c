#include "telnetdevice.h"

#include <cstring>

TTelnetDevice::TTelnetDevice(QIODevice& socket, TTelnetCodec codec, QObject* parent)
    : QIODevice(parent), m_socket(socket), m_codec(std::move(codec))
{
    connect(&m_socket, &QIODevice::readyRead, this, &TTelnetDevice::OnSocketReadyRead);
}

void TTelnetDevice::Start()
{
    // Unbuffered: what the engine has not read yet stays here, counted by bytesAvailable().
    open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    m_socket.write(m_codec.Offer());
    if (m_socket.bytesAvailable() > 0)
        OnSocketReadyRead();
}

void TTelnetDevice::close()
{
    m_received.clear();
    m_heldBack.clear();
    m_held = false;
    QIODevice::close();
}

qint64 TTelnetDevice::bytesAvailable() const
{
    return m_received.size() + QIODevice::bytesAvailable();
}

void TTelnetDevice::SendSubnegotiation(uint8_t option, const QByteArray& payload)
{
    m_socket.write(TTelnetCodec::Subnegotiation(option, payload));
}

void TTelnetDevice::SetHeld(bool held)
{
    m_held = held;
    if (!held && !m_heldBack.isEmpty())
        m_socket.write(m_codec.Encode(std::exchange(m_heldBack, {})));
}

qint64 TTelnetDevice::readData(char* data, qint64 maxSize)
{
    const qint64 n = std::min<qint64>(maxSize, m_received.size());
    std::memcpy(data, m_received.constData(), static_cast<size_t>(n));
    m_received.remove(0, n);
    return n;
}

qint64 TTelnetDevice::writeData(const char* data, qint64 size)
{
    const QByteArray bytes(data, size);
    if (m_held)
        m_heldBack += bytes;
    else if (m_socket.write(m_codec.Encode(bytes)) < 0)
        return -1;
    return size;
}

void TTelnetDevice::OnSocketReadyRead()
{
    if (!isOpen())
        return;
    const TTelnetCodec::TFed fed = m_codec.Feed(m_socket.readAll());
    if (!fed.answer.isEmpty())
        m_socket.write(fed.answer);
    if (fed.optionsChanged)
        emit OptionsChanged();
    for (const TTelnetCodec::TSubnegotiation& sub : fed.subnegotiations)
        emit Subnegotiated(sub.option, sub.payload);
    if (!fed.data.isEmpty() && isOpen()) {
        m_received += fed.data;
        emit readyRead();
    }
}
