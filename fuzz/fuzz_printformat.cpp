// The print-format codec both ways: register data as the instrument sends it into Decode, and
// the same bytes as a typed editor text into Encode, ByteCount, Fits and Preview. A decoded
// format encodes back to bytes that decode to the same text.
#include "fuzzcheck.h"
#include "inputclock.h"
#include "printformatcodec.h"

#include <QString>

#include <cstddef>
#include <cstdint>

int FuzzOne(const uint8_t* data, size_t size)
{
    const QString input = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString decoded = printformat::Decode(input);
    if (!decoded.isEmpty())
        FuzzCheck(printformat::Decode(printformat::Encode(decoded)) == decoded,
                  "a decoded format encodes back to the same text");
    // Typed text may hold any character, also beyond Latin-1.
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& text : {input, typed}) {
        const QString encoded = printformat::Encode(text);
        FuzzCheck(encoded.size() % 2 == 0, "encoded data is whole bytes");
        FuzzCheck(text.isEmpty() || encoded.size() == 2 * printformat::ByteCount(text),
                  "the byte count is what is encoded");
        // An empty text still writes one byte: the terminator "00".
        FuzzCheck(text.isEmpty() || printformat::Fits(text, printformat::ByteCount(text)),
                  "a text fits its own size");
        (void)printformat::Preview(text);
        const printformat::TPrintFormats formats{text, decoded, int(size % 100), int(size % 30)};
        (void)printformat::LengthMessages(formats);
    }
    return 0;
}
