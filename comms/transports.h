#pragma once

#include "serialtransport.h"

#include <memory>

// The transport a port name stands for: "tcp://HOST:PORT" a raw TCP stream to a serial
// device server, "rfc2217://HOST:PORT" one with COM-port control, anything else a serial
// port of this machine.
namespace transports {

// Not opened yet; none, with `error` saying why, for a network name that is malformed.
[[nodiscard]] std::unique_ptr<TTransport> For(const TLineSettings& line, QString* error);

} // namespace transports
