// Message texts as the receiver hands them on (Latin-1 characters) into Tcommsobj::Parse. A
// text that parses must build back to a text that parses to the same message.
#include "comms.h"
#include "fuzzcheck.h"
#include "inputclock.h"

#include <QString>

#include <cstddef>
#include <cstdint>

int FuzzOne(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    Tcommsobj message;
    const bool parsed = message.Parse(text);
    // Every field is read even from a refused text; none of them may fault.
    (void)message.ErrorText();
    (void)message.ErrorReport();
    (void)message.HasError(message.Value);
    if (!parsed)
        return 0;
    Tcommsobj again;
    FuzzCheck(again.Parse(message.Build()), "a parsed message builds to a text that parses");
    FuzzCheck(again.ReplyBit == message.ReplyBit && again.ErrorBit == message.ErrorBit &&
                  again.RequestBit == message.RequestBit && again.Address == message.Address &&
                  again.Command == message.Command && again.Register == message.Register &&
                  again.Data == message.Data && again.Value == message.Value,
              "a built message parses to the same fields");
    return 0;
}
