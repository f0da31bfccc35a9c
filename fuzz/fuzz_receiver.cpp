// Arbitrary bytes from the line through the receive rules. The first byte chooses the mode
// (bit 0: RS232 ring) and the ring address (bits 1..5); the rest is fed one byte at a time.
// Whatever arrives, the echo keeps every character and a message handed on is never empty,
// never longer than a message may be and, on a plain cable, free of control characters.
#include "fuzzcheck.h"
#include "inputclock.h"
#include "protocol.h"
#include "receiver.h"
#include "ringnetwork.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>

int FuzzOne(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    TRingNetwork ring;
    ring.SetRingMode(data[0] & 1);
    ring.SetLocalAddress(data[0] >> 1);
    const bool plain = !ring.RingMode();
    QString echo;
    TReceiver receiver(
        ring,
        [&](const QString& text) {
            FuzzCheck(!text.isEmpty(), "no empty message is handed on");
            FuzzCheck(text.size() <= protocol::ctl::MaxMessage, "no message over the limit");
            FuzzCheck(!plain || std::all_of(text.cbegin(), text.cend(),
                                            [](QChar c) { return c.unicode() >= 0x20; }),
                      "a plain-cable message holds no control character");
            FuzzCheck(plain || !text.contains(QChar(protocol::ctl::LF)),
                      "a ring reply is cut before its line end");
        },
        [&](const QString& characters) { echo += characters; });
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    receiver.Feed(bytes);
    receiver.FlushEcho();
    FuzzCheck(echo == QString::fromLatin1(bytes), "the echo keeps every character in order");
    return 0;
}
