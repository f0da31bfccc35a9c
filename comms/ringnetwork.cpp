#include "ringnetwork.h"

#include "comms.h"
#include "protocol.h"

using protocol::ctl::DC2;
using protocol::ctl::DC4;

QString TRingNetwork::FrameRequest(const QString& text) const
{
    return m_ringMode ? QChar(DC2) + text + QChar(DC4) : text;
}

std::optional<QString> TRingNetwork::ExtractReply(const QString& frame) const
{
    if (!m_ringMode)
        return frame;
    const qsizetype firstDc2 = frame.indexOf(QChar(DC2));
    qsizetype pos = firstDc2 < 0 ? 0 : firstDc2 + 1;
    while (pos < frame.size()) {
        const qsizetype lf = frame.indexOf(QChar(protocol::ctl::LF), pos);
        if (lf < 0)
            break;
        const QString line = frame.mid(pos, lf - pos + 1);
        pos = lf + 1;
        Tcommsobj message;
        if (message.Parse(line) && message.ReplyBit && message.Address == m_localAddress) {
            // A line closed by a bare LF is cut there too, so the LF never reaches Data.
            const qsizetype crlf = line.indexOf(QStringLiteral("\r\n"));
            return line.left(crlf < 0 ? line.size() - 1 : crlf);
        }
    }
    return std::nullopt;
}
