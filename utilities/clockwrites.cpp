#include "clockwrites.h"

#include "protocol.h"
#include "tools.h"

namespace clockwrites {

std::array<TClockWrite, 5> For(const QDateTime& time)
{
    using namespace protocol::reg;
    const QDate date = time.date();
    const QTime clock = time.time();
    const auto hex = [](int value) { return tools::HexText(static_cast<uint32_t>(value)); };
    return {{{ClockYear, hex(date.year())},
             {ClockMonth, hex(date.month())},
             {ClockDay, hex(date.day())},
             {ClockHour, hex(clock.hour())},
             {ClockMinute, hex(clock.minute())}}};
}

} // namespace clockwrites
