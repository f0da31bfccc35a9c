#include "networkaddress.h"

#include <QUrl>

namespace {

const QString kTcp = QStringLiteral("tcp");
const QString kRfc2217 = QStringLiteral("rfc2217");

QString SchemeOf(TNetworkAddress::TProtocol protocol)
{
    return protocol == TNetworkAddress::TProtocol::Rfc2217 ? kRfc2217 : kTcp;
}

// An IPv6 address is written in brackets, so that its colons are not taken for the port's.
QString HostText(const QString& host)
{
    return host.contains(u':') ? QStringLiteral("[%1]").arg(host) : host;
}

std::optional<TNetworkAddress> Refuse(QString* error, const QString& name, const QString& why)
{
    if (error)
        *error = QStringLiteral("\"%1\" is not a network port: %2. Write it as tcp://HOST:PORT "
                                "or rfc2217://HOST:PORT.")
                     .arg(name, why);
    return std::nullopt;
}

} // namespace

QString TNetworkAddress::Url() const
{
    return networkaddress::UrlOf(protocol, host, port);
}

QString TNetworkAddress::HostAndPort() const
{
    return QStringLiteral("%1 port %2").arg(host).arg(port);
}

namespace networkaddress {

bool IsNetworkName(const QString& portName)
{
    const QString name = portName.trimmed();
    return name.startsWith(kTcp + QStringLiteral("://"), Qt::CaseInsensitive) ||
           name.startsWith(kRfc2217 + QStringLiteral("://"), Qt::CaseInsensitive);
}

std::optional<TNetworkAddress> Parse(const QString& portName, QString* error)
{
    const QString name = portName.trimmed();
    if (!IsNetworkName(name))
        return Refuse(error, name, QStringLiteral("it names no protocol"));
    const QUrl url(name, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return Refuse(error, name, QStringLiteral("the host is missing or malformed"));
    if (!url.userInfo().isEmpty() || !(url.path().isEmpty() || url.path() == u"/") ||
        url.hasQuery() || url.hasFragment())
        return Refuse(error, name, QStringLiteral("it holds more than a host and a port"));
    if (url.port() < 1)
        return Refuse(error, name, QStringLiteral("the port number 1..65535 is missing"));
    TNetworkAddress address;
    address.protocol = url.scheme().compare(kRfc2217, Qt::CaseInsensitive) == 0
                           ? TNetworkAddress::TProtocol::Rfc2217
                           : TNetworkAddress::TProtocol::RawTcp;
    address.host = url.host();
    address.port = static_cast<quint16>(url.port());
    return address;
}

QString UrlOf(TNetworkAddress::TProtocol protocol, const QString& host, int port)
{
    return QStringLiteral("%1://%2:%3").arg(SchemeOf(protocol), HostText(host.trimmed())).arg(port);
}

} // namespace networkaddress
