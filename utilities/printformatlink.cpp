#include "printformatlink.h"

#include "commsengine.h"
#include "protocol.h"

#include <algorithm>
#include <climits>

namespace printformat {

namespace {

using namespace protocol;

void ReadOne(TCommsEngine& engine, int reg, int& limit, QString& text)
{
    if (engine.SendCommand(cmd::ReadMaximum, reg, true, true) && engine.ReplyRecord().Value != 0)
        limit = int(std::min<uint32_t>(engine.ReplyRecord().Value, INT_MAX));
    if (engine.SendCommand(cmd::ReadValue, reg, true, true) && !engine.ReplyRecord().Data.isEmpty())
        text = Decode(engine.ReplyRecord().Data);
}

} // namespace

TPrintFormats Read(TCommsEngine& engine)
{
    TPrintFormats formats;
    ReadOne(engine, reg::PrintFormat1, formats.shortLimit, formats.shortText);
    ReadOne(engine, reg::PrintFormat2, formats.longLimit, formats.longText);
    return formats;
}

bool Write(TCommsEngine& engine, const TPrintFormats& formats)
{
    const bool shortOk =
        engine
            .SendCommand(cmd::WriteValue, reg::PrintFormat1, true, true, Encode(formats.shortText))
            .Ok();
    const bool longOk =
        engine.SendCommand(cmd::WriteValue, reg::PrintFormat2, true, true, Encode(formats.longText))
            .Ok();
    return shortOk && longOk;
}

} // namespace printformat
