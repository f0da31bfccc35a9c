// Telnet's framing without a socket: data unescaped, options answered once and only when
// they change, subnegotiations whole however the stream is cut, IAC doubled going out.
#include "telnetcodec.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using C = TTelnetCodec;

QByteArray B(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out += char(b);
    return out;
}

// This side offers COM-port control and binary, and lets the other side send binary.
TTelnetCodec ComPortCodec()
{
    return TTelnetCodec({C::kComPort, C::kBinary}, {C::kBinary});
}

struct TFeedCase
{
    const char* name;
    QByteArray in;
    QByteArray data;
    QByteArray answer;
    int subnegotiations;
};

// Named in test output by its case, not as a dump of the object's bytes.
inline void PrintTo(const TFeedCase& c, std::ostream* out)
{
    *out << c.name;
}

class Feeds : public ::testing::TestWithParam<TFeedCase>
{
};

} // namespace

TEST_P(Feeds, GiveDataAndAnswers)
{
    const TFeedCase& c = GetParam();
    // Whole, and one byte at a time: the cut must not matter.
    for (const bool bytewise : {false, true}) {
        TTelnetCodec codec = ComPortCodec();
        (void)codec.Offer();
        TTelnetCodec::TFed all;
        const qsizetype step = bytewise ? 1 : c.in.size();
        for (qsizetype i = 0; i < c.in.size(); i += step) {
            const TTelnetCodec::TFed fed = codec.Feed(c.in.mid(i, step));
            all.data += fed.data;
            all.answer += fed.answer;
            all.subnegotiations.insert(all.subnegotiations.end(), fed.subnegotiations.begin(),
                                       fed.subnegotiations.end());
        }
        EXPECT_EQ(all.data.toHex(), c.data.toHex()) << (bytewise ? "bytewise" : "whole");
        EXPECT_EQ(all.answer.toHex(), c.answer.toHex()) << (bytewise ? "bytewise" : "whole");
        EXPECT_EQ(int(all.subnegotiations.size()), c.subnegotiations);
    }
}

INSTANTIATE_TEST_SUITE_P(
    TelnetCodec, Feeds,
    ::testing::Values(
        TFeedCase{"PlainData", "A1110005:1F\r\n", "A1110005:1F\r\n", "", 0},
        TFeedCase{"DoubledIacIsOneDataByte", B({'x', 255, 255, 'y'}), B({'x', 255, 'y'}), "", 0},
        // Answers to this side's own requests, and a request already in force: no answer.
        TFeedCase{"AgreementEndsTheAsking", B({255, C::kDo, 44, 255, C::kWill, 0, 255, C::kDo, 44}),
                  "", "", 0},
        // Options this side does not take: refused once each.
        TFeedCase{"UnknownOptionsRefused", B({255, C::kWill, 1, 255, C::kDo, 24}), "",
                  B({255, C::kDont, 1, 255, C::kWont, 24}), 0},
        TFeedCase{"WithdrawnOptionAcknowledged",
                  B({255, C::kWill, 0, 255, C::kWont, 0, 255, C::kWont, 0}), "",
                  B({255, C::kDont, 0}), 0},
        TFeedCase{"SubnegotiationWithIacInside",
                  B({'a', 255, C::kSb, 44, 101, 0, 0, 255, 255, 255, C::kSe, 'b'}), "ab", "", 1},
        TFeedCase{"OverlongSubnegotiationDropped",
                  B({255, C::kSb, 44}) + QByteArray(300, 'z') + B({255, C::kSe, 'c'}), "c", "", 0},
        TFeedCase{"OtherCommandsCarryNothing", B({'a', 255, 241, 'b', 255, 249}), "ab", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TelnetCodec, OfferAndRefusalOfComPortControl)
{
    TTelnetCodec codec = ComPortCodec();
    EXPECT_EQ(codec.Offer().toHex(),
              B({255, C::kWill, 0, 255, C::kDo, 0, 255, C::kWill, 44}).toHex());
    EXPECT_TRUE(codec.Offer().isEmpty()) << "asked once";
    const TTelnetCodec::TFed fed = codec.Feed(B({255, C::kDont, 44}));
    EXPECT_TRUE(fed.optionsChanged);
    EXPECT_TRUE(fed.answer.isEmpty()) << "a refusal of a request is not answered";
    EXPECT_TRUE(codec.LocalRefused(C::kComPort));
    EXPECT_FALSE(codec.LocalOn(C::kComPort));
}

TEST(TelnetCodec, SubnegotiationPayloadKeepsItsBytes)
{
    TTelnetCodec codec = ComPortCodec();
    const QByteArray payload = B({101, 0, 0, 255, 0});
    const QByteArray wire = TTelnetCodec::Subnegotiation(44, payload);
    EXPECT_EQ(wire.toHex(), B({255, C::kSb, 44, 101, 0, 0, 255, 255, 0, 255, C::kSe}).toHex());
    const TTelnetCodec::TFed fed = codec.Feed(wire);
    ASSERT_EQ(fed.subnegotiations.size(), 1u);
    EXPECT_EQ(fed.subnegotiations[0].option, 44);
    EXPECT_EQ(fed.subnegotiations[0].payload.toHex(), payload.toHex());
}

// Going out, IAC is doubled; a CR that ends no line is followed by NUL until this side sends
// binary, and the NUL after a CR coming in is dropped until the other side does.
TEST(TelnetCodec, EncodeEscapesAndCrOfATextStream)
{
    TTelnetCodec codec = ComPortCodec();
    const QByteArray text = B({'a', 255, '\r', '\n', 'b', '\r'});
    EXPECT_EQ(codec.Encode(text).toHex(), B({'a', 255, 255, '\r', '\n', 'b', '\r', 0}).toHex());
    EXPECT_EQ(codec.Feed(B({'x', '\r', 0, 'y'})).data, QByteArray("x\ry"));
    (void)codec.Offer();
    (void)codec.Feed(B({255, C::kDo, 0, 255, C::kWill, 0}));
    EXPECT_EQ(codec.Encode(text).toHex(), B({'a', 255, 255, '\r', '\n', 'b', '\r'}).toHex());
    EXPECT_EQ(codec.Feed(B({'\r', 0})).data.toHex(), B({'\r', 0}).toHex());
}
