// Frames that come back round an RS232 ring into TRingNetwork::ExtractReply. The first byte
// is this program's instrument address; the rest is the frame as the receiver collects it.
// A reply taken out must be a reply from that instrument, whole, without its line end.
#include "comms.h"
#include "fuzzcheck.h"
#include "inputclock.h"
#include "protocol.h"
#include "ringnetwork.h"

#include <QString>

#include <cstddef>
#include <cstdint>

int FuzzOne(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    TRingNetwork ring;
    ring.SetRingMode(true);
    ring.SetLocalAddress(data[0]);
    const QString frame =
        QString::fromLatin1(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const auto reply = ring.ExtractReply(frame);
    if (!reply)
        return 0;
    Tcommsobj message;
    FuzzCheck(message.Parse(*reply), "a selected reply parses");
    FuzzCheck(message.ReplyBit, "a selected message is a reply");
    FuzzCheck(message.Address == ring.LocalAddress(), "a selected reply is this instrument's");
    FuzzCheck(!reply->contains(QChar(protocol::ctl::LF)), "a selected reply has no line end");
    FuzzCheck(frame.contains(*reply), "a selected reply is taken from the frame");
    return 0;
}
