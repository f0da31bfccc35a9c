#include "transports.h"

#include "networkaddress.h"
#include "rfc2217transport.h"
#include "tcptransport.h"

namespace transports {

std::unique_ptr<TTransport> For(const TLineSettings& line, QString* error)
{
    if (!networkaddress::IsNetworkName(line.portName))
        return std::make_unique<TSerialTransport>(line);
    const std::optional<TNetworkAddress> address = networkaddress::Parse(line.portName, error);
    if (!address)
        return nullptr;
    if (address->protocol == TNetworkAddress::TProtocol::Rfc2217)
        return std::make_unique<TRfc2217Transport>(*address, line);
    return std::make_unique<TTcpTransport>(*address);
}

} // namespace transports
