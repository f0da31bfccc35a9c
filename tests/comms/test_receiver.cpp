// The receive rules without a port: bytes in, message texts and echo out.
#include "crc.h"
#include "receiver.h"
#include "ringnetwork.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Received
{
    TRingNetwork ring;
    QStringList messages;
    QString echo;
    TReceiver receiver{ring, [this](const QString& t) { messages << t; },
                       [this](const QString& e) { echo += e; }};
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
