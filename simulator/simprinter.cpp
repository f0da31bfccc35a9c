#include "simprinter.h"

#include "protocol.h"

namespace {

// Printed tickets kept for inspection; older ones are forgotten.
constexpr int kKeptTickets = 50;

QByteArray FromLatin(const char* text)
{
    return QByteArray(text);
}

} // namespace

TSimPrinter::TSimPrinter()
    : m_short(FromLatin("\x86\r\n\x84 \x85  #\x89\r\nG \x81\r\nT \x83\r\nN \x82\r\n")),
      m_long(FromLatin("#\x89 N \x82\r\n"))
{
}

int TSimPrinter::Limit(Format format)
{
    return format == Short ? kShortLimit : kLongLimit;
}

QByteArray TSimPrinter::Bytes(Format format) const
{
    return format == Short ? m_short : m_long;
}

void TSimPrinter::SetBytes(Format format, const QByteArray& bytes)
{
    (format == Short ? m_short : m_long) = bytes.left(Limit(format));
}

QString TSimPrinter::Read(Format format) const
{
    return QString::fromLatin1(Bytes(format).toHex().toUpper()) + QStringLiteral("00");
}

uint32_t TSimPrinter::Write(Format format, const QString& hex)
{
    const QByteArray text = hex.toLatin1();
    if (text.size() % 2 != 0)
        return protocol::err::IllegalValue;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return protocol::err::IllegalValue;
    }
    QByteArray bytes = QByteArray::fromHex(text);
    // A zero byte ends the format; what follows it is not part of it.
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    if (bytes.size() > Limit(format))
        return protocol::err::OverRange;
    SetBytes(format, bytes);
    return 0;
}

QString TSimPrinter::Print(Format format, const std::function<QString(Field)>& field)
{
    ++m_count;
    QString ticket;
    for (char byte : Bytes(format)) {
        const auto code = static_cast<uint8_t>(byte);
        if (code >= Gross && code <= TicketNumber)
            ticket += field(static_cast<Field>(code));
        else
            ticket += QChar::fromLatin1(byte);
    }
    m_tickets.append(ticket);
    while (m_tickets.size() > kKeptTickets)
        m_tickets.removeFirst();
    return ticket;
}
