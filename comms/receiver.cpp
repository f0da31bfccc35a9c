#include "receiver.h"

#include "crc.h"
#include "protocol.h"
#include "ringnetwork.h"

using namespace protocol;

TReceiver::TReceiver(const TRingNetwork& ring, MessageHandler onMessage, EchoHandler onEcho)
    : m_ring(ring), m_onMessage(std::move(onMessage)), m_onEcho(std::move(onEcho))
{
}

void TReceiver::Feed(const QByteArray& bytes)
{
    for (char byte : bytes)
        Feed(static_cast<char16_t>(static_cast<uchar>(byte)));
}

void TReceiver::Feed(char16_t c)
{
    m_echo += QChar(c);
    if (m_ring.RingMode()) {
        if (c == ctl::DC4) {
            FlushEcho();
            const QString frame = std::exchange(m_buffer, QString());
            if (!frame.isEmpty())
                if (const auto reply = m_ring.ExtractReply(frame))
                    TakeMessage(*reply, false);
        } else {
            m_buffer += QChar(c);
            if (m_buffer.size() > ctl::MaxMessage)
                m_buffer.clear();
        }
        return;
    }
    if (c == ctl::SOH || c == ctl::STX) {
        m_buffer.clear();
    } else if (c == ctl::LF || c == ctl::EOT) {
        FlushEcho();
        TakeMessage(std::exchange(m_buffer, QString()), c == ctl::EOT);
    } else if (c >= 0x20 && c <= 0xFF) {
        m_buffer += QChar(c);
        if (m_buffer.size() > ctl::MaxMessage)
            m_buffer.clear();
    }
}

void TReceiver::TakeMessage(QString text, bool crcForm)
{
    if (crcForm) {
        if (!crc::CrcCheck(text))
            return; // a damaged message is dropped; the request times out and retries
        text.chop(4);
    }
    if (!text.isEmpty() && m_onMessage)
        m_onMessage(text);
}

void TReceiver::FlushEcho()
{
    if (m_echo.isEmpty())
        return;
    const QString text = std::exchange(m_echo, QString());
    if (m_onEcho)
        m_onEcho(text);
}

void TReceiver::Clear()
{
    m_buffer.clear();
    m_echo.clear();
}
