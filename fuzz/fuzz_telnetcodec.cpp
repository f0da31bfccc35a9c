// Arbitrary bytes from a serial device server through Telnet's framing. The first byte says
// where the rest is cut into pieces (every byte, or pieces of 1..255 bytes). However it is
// cut, the same data, answers and subnegotiations come out; the data is never longer than
// what came in; every subnegotiation is within its bound; and data encoded for the line is
// read back as it was.
#include "fuzzcheck.h"
#include "inputclock.h"
#include "telnetcodec.h"

#include <cstddef>
#include <cstdint>

namespace {

TTelnetCodec ComPortCodec()
{
    return TTelnetCodec({TTelnetCodec::kComPort, TTelnetCodec::kBinary},
                        {TTelnetCodec::kBinary, TTelnetCodec::kSuppressGoAhead});
}

// Everything one codec gives for the stream fed in pieces of `step` bytes.
TTelnetCodec::TFed FeedInPieces(const QByteArray& stream, qsizetype step)
{
    TTelnetCodec codec = ComPortCodec();
    (void)codec.Offer();
    TTelnetCodec::TFed all;
    for (qsizetype at = 0; at < stream.size(); at += step) {
        const TTelnetCodec::TFed fed = codec.Feed(stream.mid(at, step));
        all.data += fed.data;
        all.answer += fed.answer;
        all.subnegotiations.insert(all.subnegotiations.end(), fed.subnegotiations.begin(),
                                   fed.subnegotiations.end());
    }
    return all;
}

} // namespace

int FuzzOne(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray stream(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const TTelnetCodec::TFed whole = FeedInPieces(stream, std::max<qsizetype>(stream.size(), 1));
    const TTelnetCodec::TFed pieces = FeedInPieces(stream, std::max<qsizetype>(data[0], 1));
    FuzzCheck(whole.data == pieces.data, "the cut changes no data");
    FuzzCheck(whole.answer == pieces.answer, "the cut changes no answer");
    FuzzCheck(whole.subnegotiations.size() == pieces.subnegotiations.size(),
              "the cut changes no subnegotiation");
    FuzzCheck(whole.data.size() <= stream.size(), "no more data than came in");
    for (const TTelnetCodec::TSubnegotiation& sub : whole.subnegotiations)
        FuzzCheck(sub.payload.size() <= TTelnetCodec::kMaxSubnegotiation,
                  "a subnegotiation stays within its bound");
    // A codec that negotiated nothing sends text: the line's NUL after a bare CR is its own.
    const TTelnetCodec fresh = ComPortCodec();
    TTelnetCodec reader = ComPortCodec();
    FuzzCheck(reader.Feed(fresh.Encode(stream)).data == stream, "encoded data reads back");
    return 0;
}
