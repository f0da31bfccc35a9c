#pragma once

#include "telnetcodec.h"

#include <QIODevice>

// The data stream of a Telnet connection as a plain QIODevice, so that the engine reads and
// writes it as it does a serial port: Telnet's commands are taken out of what arrives and
// answered, IAC is doubled in what goes out, and subnegotiations are handed on.
class TTelnetDevice : public QIODevice
{
    Q_OBJECT
public:
    // `socket`: the open connection, which outlives this device.
    TTelnetDevice(QIODevice& socket, TTelnetCodec codec, QObject* parent = nullptr);

    // Opens the stream and sends this side's option requests.
    void Start();
    void close() override;
    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] qint64 bytesAvailable() const override;

    void SendSubnegotiation(uint8_t option, const QByteArray& payload);
    // While held, data written is kept back (the other side asked for a pause).
    void SetHeld(bool held);
    [[nodiscard]] const TTelnetCodec& Codec() const { return m_codec; }

signals:
    void OptionsChanged();
    void Subnegotiated(uint8_t option, const QByteArray& payload);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    void OnSocketReadyRead();

    QIODevice& m_socket;
    TTelnetCodec m_codec;
    QByteArray m_received;
    QByteArray m_heldBack;
    bool m_held = false;
};
