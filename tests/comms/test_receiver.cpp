// The receive rules without a port: bytes in, message texts and echo out.
#include "crc.h"
#include "receiver.h"
#include "ringnetwork.h"

#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Received
{
    TRingNetwork ring;
    QStringList messages;
    QString echo;
    QStringList echoes; // as handed on
    TReceiver receiver{ring, [this](const QString& t) { messages << t; },
                       [this](const QString& e) {
                           echo += e;
                           echoes << e;
                       }};
};

} // namespace

TEST(Receiver, PlainCrcAndOverlongMessages)
{
    Received r;
    r.receiver.Feed(QByteArray("junk\x02"
                               "A1110009:12\r\n"));
    r.receiver.Feed(QByteArray(1001, 'x') + "\n");
    const QByteArray text = "A1110005:1F";
    r.receiver.Feed("\x01" + text + crc::CrcText(QString::fromLatin1(text)).toLatin1() + "\x04");
    r.receiver.Feed(QByteArray("\x01"
                               "A1110005:1F0000\x04"));
    r.receiver.Feed(QByteArray("A11100\r05:2\n\n"));
    EXPECT_EQ(r.messages, (QStringList{"A1110009:12", "A1110005:1F", "A1110005:2"}));
    EXPECT_TRUE(r.echo.startsWith("junk\x02")) << "the echo keeps every character";
    EXPECT_TRUE(r.echo.endsWith("05:2\n\n"));
}

TEST(Receiver, RingFramesGiveThisProgramsReplyOnly)
{
    Received r;
    r.ring.SetRingMode(true);
    r.ring.SetLocalAddress(5);
    r.receiver.Feed(QByteArray("\x12"
                               "25110005:\r\nA1110005:1\r\nA5110005:55\r\n\x14"));
    r.receiver.Feed(QByteArray("\x12"
                               "A7110005:7\r\n\x14"));
    r.receiver.Feed(QByteArray(1500, 'y') + "\x14");
    EXPECT_EQ(r.messages, QStringList{"A5110005:55"});
}

TEST(Receiver, EchoIsHandedOnAtLineEndsAndOnRequest)
{
    Received r;
    r.receiver.Feed(QByteArray("abc"));
    EXPECT_EQ(r.echo, "");
    r.receiver.FlushEcho();
    EXPECT_EQ(r.echo, "abc");
    r.receiver.Feed(QByteArray("def\n"));
    EXPECT_EQ(r.echo, "abcdef\n");
    r.receiver.Feed(QByteArray("half"));
    r.receiver.Clear();
    r.receiver.Feed(QByteArray("A1110009:1\n"));
    EXPECT_EQ(r.messages.last(), "A1110009:1") << "Clear drops the half message";
}

// Bytes taken a run at a time give exactly what they give one at a time: the same messages,
// the same echo cut at the same places, the same restarts of overlong messages.
TEST(Receiver, ChunksOfAnySizeActAsSingleCharacters)
{
    QRandomGenerator random(0x5eed);
    const QByteArray alphabet("A1:0F\x01\x02\x04\n\r\x12\x14\x00\xff", 14);
    for (int round = 0; round < 200; ++round) {
        const bool ring = round % 3 == 2;
        QByteArray stream;
        const int length = random.bounded(1, 300);
        for (int k = 0; k < length; ++k) {
            if (random.bounded(40) == 0) // a run longer than a message may be
                stream += QByteArray(random.bounded(900, 2500), char('0' + random.bounded(10)));
            else if (random.bounded(10) < 8)
                stream += char('0' + random.bounded(10));
            else
                stream += alphabet[random.bounded(alphabet.size())];
        }
        Received single, chunked;
        for (Received* r : {&single, &chunked}) {
            r->ring.SetRingMode(ring);
            r->ring.SetLocalAddress(1);
        }
        for (char byte : stream)
            single.receiver.Feed(static_cast<char16_t>(static_cast<uchar>(byte)));
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype size = std::min<qsizetype>(random.bounded(1, 1500), stream.size() - at);
            chunked.receiver.Feed(stream.mid(at, size));
            at += size;
        }
        single.receiver.FlushEcho();
        chunked.receiver.FlushEcho();
        ASSERT_EQ(chunked.messages, single.messages) << "round " << round;
        ASSERT_EQ(chunked.echoes, single.echoes) << "round " << round;
    }
}
