#include "comms.h"
#include "crc.h"
#include "eventwait.h"
#include "ringnetwork.h"
#include "simline.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QByteArray DC2("\x12");
const QByteArray DC4("\x14");

class LineTest : public ::testing::Test
{
protected:
    void Make(const TSimLine::TOptions& options, std::vector<int> addresses = {1})
    {
        line = std::make_unique<TSimLine>(options);
        for (int address : addresses) {
            TSimInstrument::TSettings settings;
            settings.address = address;
            settings.serialNumber = 93123400 + address;
            settings.cell.noiseDivisions = 0;
            line->AddInstrument(settings);
        }
        QObject::connect(line.get(), &TSimLine::Transmit, [this](const QByteArray& bytes) {
            out += bytes;
            ++chunks;
        });
    }
    // Sends a request and collects everything the line sends back for it.
    QByteArray Exchange(const QByteArray& request)
    {
        out.clear();
        chunks = 0;
        line->Receive(request);
        RunUntil([&] { return !line->OutputPending(); });
        return out;
    }

    std::unique_ptr<TSimLine> line;
    QByteArray out;
    int chunks = 0;
};

} // namespace

TEST_F(LineTest, PlainRequestsGetCrLfReplies)
{
    Make({});
    EXPECT_EQ(Exchange("20110005:\r\n"), "A0110005:058CF349\r\n");
    EXPECT_EQ(Exchange("21110005:\r\n"), "A1110005:058CF349\r\n");
    EXPECT_EQ(Exchange("22110005:\r\n"), "") << "another instrument's address";
    EXPECT_EQ(Exchange("20110005:\r\n20110001:\r\n"), "A0110005:058CF349\r\nA0110001:V2.10\r\n");
}

TEST_F(LineTest, ReceiveRulesCutMessagesAsTheViewerDoes)
{
    Make({});
    line->Receive("2011");
    EXPECT_EQ(Exchange("0005:\r\n"), "A0110005:058CF349\r\n") << "a request in pieces";
    EXPECT_EQ(Exchange("2011\x07"
                       "0005:\r\n"),
              "A0110005:058CF349\r\n")
        << "controls are dropped";
    EXPECT_EQ(Exchange("junk\r\n"), "");
    EXPECT_EQ(Exchange(QByteArray(1001, 'x') + "20110005:\r\n"), "A0110005:058CF349\r\n");
    EXPECT_EQ(Exchange("A0110005:1\r\n"), "") << "a reply is no request";
    EXPECT_EQ(line->RequestCount(), 3);
}

TEST_F(LineTest, CrcFormRequestsAreCheckedAndAnswered)
{
    Make({});
    const QByteArray request = crc::CrcForm("20110005:").toLatin1();
    const QByteArray reply = Exchange(request);
    ASSERT_EQ(reply, crc::CrcForm("A0110005:058CF349").toLatin1());
    QByteArray bad = request;
    bad[bad.size() - 2] = bad.at(bad.size() - 2) == '0' ? '1' : '0';
    EXPECT_EQ(Exchange(bad), "") << "a bad CRC is ignored";
    EXPECT_TRUE(line->Log().Entries().back().text.startsWith("ignored, bad CRC"));
    EXPECT_EQ(Exchange("\x01"
                       "2011" +
                       request.mid(5)),
              reply)
        << "SOH starts one as well";
}

TEST_F(LineTest, CrcRepliesAndRequiredCrc)
{
    TSimLine::TOptions options;
    options.crcReplies = true;
    Make(options);
    const QByteArray reply = Exchange("20110001:\r\n");
    ASSERT_EQ(reply.front(), '\x02');
    ASSERT_EQ(reply.back(), '\x04');
    EXPECT_TRUE(crc::CrcCheck(QString::fromLatin1(reply.mid(1, reply.size() - 2))));

    options.crcReplies = false;
    options.requireCrc = true;
    Make(options);
    Tcommsobj error;
    ASSERT_TRUE(error.Parse(QString::fromLatin1(Exchange("20110005:\r\n").trimmed())));
    EXPECT_EQ(error.ErrorText(), " CRC Required ");
    EXPECT_EQ(error.Register, 5);
    EXPECT_EQ(Exchange(crc::CrcForm("20110005:").toLatin1()),
              crc::CrcForm("A0110005:058CF349").toLatin1());
}

TEST_F(LineTest, RingCarriesTheRequestAndOnlyTheAddressedReply)
{
    TSimLine::TOptions options;
    options.ring = true;
    Make(options, {1, 5, 7});
    const QByteArray frame = Exchange(DC2 + "25110005:\r\n" + DC4);
    EXPECT_EQ(frame, DC2 + "25110005:\r\nA5110005:058CF34D\r\n" + DC4);
    TRingNetwork ring;
    ring.SetRingMode(true);
    ring.SetLocalAddress(5);
    const QString received = QString::fromLatin1(frame.chopped(1));
    EXPECT_EQ(ring.ExtractReply(received).value_or(""), "A5110005:058CF34D");
    ring.SetLocalAddress(7);
    EXPECT_FALSE(ring.ExtractReply(received).has_value());
    EXPECT_EQ(Exchange(DC2 + "23110005:\r\n" + DC4), DC2 + "23110005:\r\n" + DC4)
        << "nobody at address 3: the request alone comes round";
    EXPECT_EQ(Exchange(DC2 + "20110001:\r\n" + DC4).count("A0110001:V2.10\r\n"), 3)
        << "every instrument answers address Any";
    EXPECT_EQ(line->Instrument(5)->RequestCount(5), 1);
    EXPECT_EQ(line->Instrument(7)->RequestCount(5), 0);
    EXPECT_EQ(line->Instrument(7)->RequestCount(1), 1);
}

TEST_F(LineTest, FaultsAreInjected)
{
    TSimLine::TOptions options;
    options.dropShare = 1;
    Make(options);
    EXPECT_EQ(Exchange("20110005:\r\n"), "");
    EXPECT_TRUE(line->Log().Entries().back().text.startsWith("dropped"));
    options.dropShare = 0;
    options.wrongRegisterShare = 1;
    Make(options);
    EXPECT_EQ(Exchange("20110005:\r\n"), "A0110006:058CF349\r\n");
    options.wrongRegisterShare = 0;
    options.garbleShare = 1;
    Make(options);
    const QByteArray garbled = Exchange("20110005:\r\n");
    const QByteArray right = "A0110005:058CF349\r\n";
    ASSERT_EQ(garbled.size(), right.size());
    int changed = 0;
    for (qsizetype i = 0; i < right.size(); ++i)
        changed += garbled.at(i) != right.at(i);
    EXPECT_EQ(changed, 1);
}

TEST_F(LineTest, SeedRepeatsTheFaults)
{
    const auto pattern = [this](uint32_t seed) {
        TSimLine::TOptions options;
        options.dropShare = 0.5;
        options.seed = seed;
        Make(options);
        QString answered;
        for (int i = 0; i < 24; ++i)
            answered += Exchange("20110001:\r\n").isEmpty() ? u'-' : u'A';
        return answered;
    };
    const QString first = pattern(7);
    EXPECT_EQ(pattern(7), first);
    EXPECT_NE(pattern(8), first);
    EXPECT_TRUE(first.contains(u'-') && first.contains(u'A'));
}

TEST_F(LineTest, BaudRatePacesEveryByte)
{
    TSimLine::TOptions options;
    options.baud = 2400;
    Make(options);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Exchange("20110005:\r\n"), "A0110005:058CF349\r\n");
    // 11 bytes in and 19 out at 240 bytes a second cannot take less than 125 ms.
    EXPECT_GE(clock.elapsed(), 120);
    EXPECT_GT(chunks, 3) << "the reply trickles out";
}

TEST_F(LineTest, DelayHoldsRepliesBack)
{
    TSimLine::TOptions options;
    options.delayMs = 150;
    Make(options);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Exchange("20110005:\r\n"), "A0110005:058CF349\r\n");
    EXPECT_GE(clock.elapsed(), 150);
}

TEST_F(LineTest, TrafficLogKeepsBothDirectionsAndCounts)
{
    QTemporaryDir dir;
    Make({});
    ASSERT_TRUE(line->Log().OpenFile(dir.filePath("traffic.log"), nullptr));
    Exchange("20110005:\r\n");
    Exchange("20110005:\r\n");
    Exchange("20110009:\r\n");
    EXPECT_EQ(line->RequestCount(0x0005), 2);
    EXPECT_EQ(line->RequestCount(0x0009), 1);
    EXPECT_EQ(line->RequestCount(0x0001), 0);
    const auto& entries = line->Log().Entries();
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].direction, TTrafficLog::Received);
    EXPECT_EQ(entries[0].text, "20110005:");
    EXPECT_EQ(entries[1].direction, TTrafficLog::Sent);
    EXPECT_LE(entries[0].time, entries[5].time);
    QFile file(dir.filePath("traffic.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("<< 20110005:\n"));
    EXPECT_TRUE(text.contains(">> A0110005:058CF349[CR][LF]\n"));
}
