// Display register data (0x0009) into the display decoder. Decoding what the encoder made of
// the decoded states gives the same states back.
#include "displaydecoder.h"
#include "fuzzcheck.h"
#include "inputclock.h"

#include <QString>

#include <cstddef>
#include <cstdint>

int FuzzOne(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    TSegmentStates states{};
    states.fill(2); // a value no decoder writes, to see what it left alone
    const TSegmentStates before = states;
    if (!displaydecoder::DecodeDisplay(text, states)) {
        FuzzCheck(states == before, "short data changes nothing");
        return 0;
    }
    displaydecoder::MirrorPosition17(states);
    TSegmentStates again{};
    FuzzCheck(displaydecoder::DecodeDisplay(displaydecoder::EncodeDisplay(states, text), again),
              "encoded states decode");
    displaydecoder::MirrorPosition17(again);
    FuzzCheck(again == states, "decode, encode and decode give the same states");
    return 0;
}
