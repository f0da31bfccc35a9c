#pragma once

#include <QString>

#include <functional>

class TRingNetwork;

// Cuts the characters received from the line into message texts: plain messages end at LF,
// CRC-form ones at EOT (and are dropped when their CRC is wrong), ring frames at DC4 (and
// only this program's reply is taken out of them). A message may not grow beyond the
// protocol's length; every character is also kept for the traffic echo.
class TReceiver
{
public:
    using MessageHandler = std::function<void(const QString& text)>;
    using EchoHandler = std::function<void(const QString& characters)>;

    TReceiver(const TRingNetwork& ring, MessageHandler onMessage, EchoHandler onEcho);

    // One received character, 0x00..0xFF.
    void Feed(char16_t c);
    void Feed(const QByteArray& bytes);
    // Hands the characters kept for the echo on, if any.
    void FlushEcho();
    void Clear();

private:
    void AppendText(QLatin1String run);
    void TakeMessage(QString text, bool crcForm);

    const TRingNetwork& m_ring;
    MessageHandler m_onMessage;
    EchoHandler m_onEcho;
    QString m_buffer;
    QString m_echo;
};
