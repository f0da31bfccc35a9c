#include "printformatlink.h"

#include "protocol.h"
#include "request.h"

#include <algorithm>
#include <climits>

namespace printformat {

namespace {

using namespace protocol;

void ReadOne(IRequester& link, int reg, int& limit, QString& text)
{
    const TReply maximum = link.SendCommand(TRequest::Of(cmd::ReadMaximum, reg).Reporting());
    if (maximum && maximum.Value() != 0)
        limit = int(std::min<uint32_t>(maximum.Value(), INT_MAX));
    const TReply value = link.SendCommand(TRequest::Read(reg).Reporting());
    if (value && !value.Data().isEmpty())
        text = Decode(value.Data());
}

} // namespace

TPrintFormats Read(IRequester& link)
{
    TPrintFormats formats;
    ReadOne(link, reg::PrintFormat1, formats.shortLimit, formats.shortText);
    ReadOne(link, reg::PrintFormat2, formats.longLimit, formats.longText);
    return formats;
}

bool Write(IRequester& link, const TPrintFormats& formats)
{
    const bool shortOk =
        link.SendCommand(TRequest::Write(reg::PrintFormat1, Encode(formats.shortText)).Reporting())
            .Ok();
    const bool longOk =
        link.SendCommand(TRequest::Write(reg::PrintFormat2, Encode(formats.longText)).Reporting())
            .Ok();
    return shortOk && longOk;
}

} // namespace printformat
