#pragma once

#include "protocol.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// The two custom print formats (registers 0x0146 short press, 0x0147 long press of the Print
// key) and the tickets printed with them. On the wire a format is hexadecimal byte pairs.
// Format bytes 0x81..0x89 are fields filled in when a ticket is printed (see Field).
class TSimPrinter
{
public:
    enum Format
    {
        Short = protocol::reg::PrintFormat1,
        Long = protocol::reg::PrintFormat2
    };
    enum Field : uint8_t
    {
        Gross = 0x81,
        Net,
        Tare,
        Date,
        Time,
        Header,
        Id,
        SerialNumber,
        TicketNumber,
    };
    static constexpr int kShortLimit = 64;
    static constexpr int kLongLimit = 32;

    TSimPrinter();

    [[nodiscard]] static int Limit(Format format);
    // The stored bytes as hexadecimal pairs, closed by "00" as the instrument sends them.
    [[nodiscard]] QString Read(Format format) const;
    // 0, Over Range for a format longer than its limit, Illegal Value for bad hex text.
    uint32_t Write(Format format, const QString& hex);
    [[nodiscard]] QByteArray Bytes(Format format) const;
    void SetBytes(Format format, const QByteArray& bytes);

    // Prints a ticket, asking `field` for the text of each field byte; returns the ticket.
    QString Print(Format format, const std::function<QString(Field)>& field);
    [[nodiscard]] const QStringList& Tickets() const { return m_tickets; }
    [[nodiscard]] int TicketCount() const { return m_count; }

private:
    QByteArray m_short;
    QByteArray m_long;
    QStringList m_tickets;
    int m_count = 0;
};
