#include "receiver.h"

#include "crc.h"
#include "protocol.h"
#include "ringnetwork.h"

using namespace protocol;

TReceiver::TReceiver(const TRingNetwork& ring, MessageHandler onMessage, EchoHandler onEcho)
    : m_ring(ring), m_onMessage(std::move(onMessage)), m_onEcho(std::move(onEcho))
{
}

namespace {

// The characters a message is made of: all but DC4 inside a ring frame, else from the space up.
bool IsText(uchar c, bool ring)
{
    return ring ? c != ctl::DC4 : c >= 0x20;
}

} // namespace

void TReceiver::Feed(const QByteArray& bytes)
{
    // Runs of text characters are taken whole; what a control character does, Feed(char16_t)
    // does. The outcome is the same as feeding one character at a time.
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const bool ring = m_ring.RingMode(); // a handler called below may change it
        qsizetype end = i;
        while (end < n && IsText(uchar(bytes[end]), ring))
            ++end;
        if (end == i) {
            Feed(static_cast<char16_t>(static_cast<uchar>(bytes[i++])));
            continue;
        }
        const QLatin1String run(bytes.constData() + i, end - i);
        m_echo += run;
        AppendText(run);
        i = end;
    }
}

void TReceiver::AppendText(QLatin1String run)
{
    // One character at a time, a message that outgrows the protocol's length starts again
    // empty; whole, only the characters after the last such new start stay.
    const qsizetype total = m_buffer.size() + run.size();
    if (total <= ctl::MaxMessage)
        m_buffer += run;
    else
        m_buffer = QString(run.right(total % (ctl::MaxMessage + 1)));
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
