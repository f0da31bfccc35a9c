// The display register's data text as segment states.
#include "displaydecoder.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using namespace displaydecoder;

int Lit(const TSegmentStates& states)
{
    return std::accumulate(states.begin(), states.end(), 0);
}

bool On(const TSegmentStates& states, int position, int segment)
{
    return states[size_t(position * 4 + segment)] != 0;
}

TEST(DecodeDisplayTest, CharacterKDrivesPosition19MinusKBitsAreSegments)
{
    TSegmentStates states{};
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("008") + QString(16, u'0'), states));
    EXPECT_TRUE(On(states, 16, 3)); // point h of the leftmost digit
    EXPECT_EQ(Lit(states), 1);
    for (int k = 3; k <= 19; ++k) {
        QString data(19, u'0');
        data[k - 1] = u'5';
        ASSERT_TRUE(DecodeDisplay(data, states));
        EXPECT_TRUE(On(states, 19 - k, 0) && On(states, 19 - k, 2)) << "character " << k;
        EXPECT_EQ(Lit(states), 2) << "character " << k;
    }
}

TEST(DecodeDisplayTest, HexInEitherCaseOtherCharactersAndLeadingPairCountAsZero)
{
    TSegmentStates upper{};
    TSegmentStates lower{};
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("FFABCDEF0123456789A"), upper));
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00abcdef0123456789a"), lower));
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(Lit(upper), 34); // the bits set in A B C D E F 0 1 2 3 4 5 6 7 8 9 A

    TSegmentStates junk{};
    junk.fill(1);
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00GgZ -.:x\u00E9\u0660zzzzzz"), junk));
    EXPECT_EQ(Lit(junk), 4); // only position 17, which the data does not carry
}

TEST(DecodeDisplayTest, EighteenCharactersLeavePositionZeroUnlitFewerChangeNothing)
{
    TSegmentStates states{};
    states.fill(1);
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00") + QString(16, u'F'), states));
    EXPECT_EQ(Lit(states), 68);
    for (int segment = 0; segment < 4; ++segment)
        EXPECT_FALSE(On(states, 0, segment));
    const TSegmentStates before = states;
    EXPECT_FALSE(DecodeDisplay(QString(17, u'0'), states));
    EXPECT_FALSE(DecodeDisplay(QString(), states));
    EXPECT_EQ(states, before);
}

TEST(DecodeDisplayTest, MirrorBlankAndEncode)
{
    TSegmentStates states{};
    states[1 * 4 + 0] = 1;
    MirrorPosition17(states);
    EXPECT_EQ(Lit(states), 5);
    states[1 * 4 + 0] = 0;
    MirrorPosition17(states);
    EXPECT_EQ(Lit(states), 0);

    for (int i = 0; i < 68; i += 3)
        states[size_t(i)] = 1;
    const QString data = EncodeDisplay(states, QStringLiteral("12"));
    EXPECT_EQ(data.size(), 19);
    TSegmentStates decoded{};
    ASSERT_TRUE(DecodeDisplay(data, decoded));
    EXPECT_EQ(decoded, states);
    BlankDisplay(decoded);
    EXPECT_EQ(Lit(decoded), 0);
}

} // namespace
