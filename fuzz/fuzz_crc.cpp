// Received CRC-form texts into the CRC check: any text is checked without fault, and a text
// with its own CRC digits appended always passes while a changed last digit never does.
#include "crc.h"
#include "fuzzcheck.h"
#include "inputclock.h"

#include <QString>

#include <cstddef>
#include <cstdint>

int FuzzOne(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)crc::CrcCheck(text);
    const QString digits = crc::CrcText(text);
    FuzzCheck(digits.size() == 4, "the CRC text is four digits");
    FuzzCheck(crc::CrcCheck(text + digits), "a text with its own CRC passes");
    QString damaged = text + digits;
    damaged[damaged.size() - 1] = damaged.back() == u'0' ? u'1' : u'0';
    FuzzCheck(!crc::CrcCheck(damaged), "a changed CRC digit fails");
    const QString form = crc::CrcForm(text);
    FuzzCheck(crc::CrcCheck(form.mid(1, form.size() - 2)), "the CRC form carries a sound CRC");
    return 0;
}
