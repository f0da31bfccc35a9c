#pragma once

#include <QString>

#include <optional>

// A serial device server's port as the user names it in place of a serial port:
// "tcp://HOST:PORT" for a raw TCP stream, "rfc2217://HOST:PORT" for Telnet with COM-port
// control. HOST may be a name, an IPv4 address or an IPv6 address in brackets.
struct TNetworkAddress
{
    enum class TProtocol
    {
        RawTcp,
        Rfc2217
    };

    TProtocol protocol = TProtocol::RawTcp;
    QString host;
    quint16 port = 0;

    // The name it goes by: "tcp://host:4001".
    [[nodiscard]] QString Url() const;
    // "host port 4001", as messages name it.
    [[nodiscard]] QString HostAndPort() const;
};

namespace networkaddress {

// Whether the name is meant as a network port (it begins with one of the two schemes), be
// it well formed or not.
[[nodiscard]] bool IsNetworkName(const QString& portName);
// The address a network port name stands for, or nothing with `error` saying what is wrong.
[[nodiscard]] std::optional<TNetworkAddress> Parse(const QString& portName,
                                                   QString* error = nullptr);
// The name for a host, a port and a protocol, as the port dialog builds it.
[[nodiscard]] QString UrlOf(TNetworkAddress::TProtocol protocol, const QString& host, int port);

} // namespace networkaddress
