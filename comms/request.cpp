#include "request.h"

#include "protocol.h"

using namespace protocol;

TRequest TRequest::Read(int reg)
{
    return Of(cmd::ReadValue, reg);
}

TRequest TRequest::Write(int reg, const QString& data)
{
    return Of(cmd::WriteValue, reg, data);
}

TRequest TRequest::Execute(int reg, const QString& data)
{
    return Of(cmd::Execute, reg, data);
}

TRequest TRequest::KeepAlive()
{
    return Write(reg::SessionControl, QLatin1String(data::KeepAlive));
}
