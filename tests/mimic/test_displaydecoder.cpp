// The display register's data text as segment states.
#include "displaydecoder.h"

#include <gtest/gtest.h>

namespace {

using displaydecoder::BlankDisplay;
using displaydecoder::DecodeDisplay;
using displaydecoder::EncodeDisplay;
using displaydecoder::MirrorPosition17;

int Lit(const TSegmentStates& states)
{
    int count = 0;
    for (uint8_t s : states)
        count += s;
    return count;
}

bool On(const TSegmentStates& states, int position, int segment)
{
    return states[size_t(position * 4 + segment)] != 0;
}

TEST(DecodeDisplayTest, ThirdCharacterIsPositionSixteen)
{
    TSegmentStates states{};
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("008") + QString(16, u'0'), states));
    EXPECT_TRUE(On(states, 16, 3)); // point h of the leftmost digit
    EXPECT_EQ(Lit(states), 1);
}

TEST(DecodeDisplayTest, NineteenthCharacterIsPositionZeroBitsAreSegments)
{
    TSegmentStates states{};
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00") + QString(16, u'0') + u'5', states));
    EXPECT_TRUE(On(states, 0, 0));
    EXPECT_FALSE(On(states, 0, 1));
    EXPECT_TRUE(On(states, 0, 2));
    EXPECT_FALSE(On(states, 0, 3));
    EXPECT_EQ(Lit(states), 2);
}

TEST(DecodeDisplayTest, EveryCharacterDrivesItsOwnPosition)
{
    for (int k = 3; k <= 19; ++k) {
        QString data(19, u'0');
        data[k - 1] = u'F';
        TSegmentStates states{};
        ASSERT_TRUE(DecodeDisplay(data, states));
        for (int segment = 0; segment < 4; ++segment)
            EXPECT_TRUE(On(states, 19 - k, segment)) << "character " << k;
        EXPECT_EQ(Lit(states), 4) << "character " << k;
    }
}

TEST(DecodeDisplayTest, LeadingCharactersAreIgnored)
{
    TSegmentStates states{};
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("FF") + QString(17, u'0'), states));
    EXPECT_EQ(Lit(states), 0);
}

TEST(DecodeDisplayTest, HexDigitsInEitherCaseOthersCountAsZero)
{
    TSegmentStates upper{};
    TSegmentStates lower{};
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00ABCDEF0123456789A"), upper));
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00abcdef0123456789a"), lower));
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(Lit(upper), 34); // the bits set in A B C D E F 0 1 2 3 4 5 6 7 8 9 A

    TSegmentStates junk{};
    junk.fill(1);
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00GgZ -.:x\u00E9\u0660") + QString(6, u'z'), junk));
    for (int position = 0; position <= 16; ++position)
        for (int segment = 0; segment < 4; ++segment)
            EXPECT_FALSE(On(junk, position, segment)) << position;
}

TEST(DecodeDisplayTest, EighteenCharactersLeavePositionZeroUnlit)
{
    TSegmentStates states{};
    states.fill(1);
    ASSERT_TRUE(DecodeDisplay(QStringLiteral("00") + QString(16, u'F'), states));
    for (int position = 1; position <= 16; ++position)
        EXPECT_TRUE(On(states, position, 0) && On(states, position, 3)) << position;
    for (int segment = 0; segment < 4; ++segment)
        EXPECT_FALSE(On(states, 0, segment));
}

TEST(DecodeDisplayTest, ShorterDataChangesNothing)
{
    TSegmentStates states{};
    states[9] = 1;
    const TSegmentStates before = states;
    EXPECT_FALSE(DecodeDisplay(QString(17, u'F'), states));
    EXPECT_FALSE(DecodeDisplay(QString(), states));
    EXPECT_EQ(states, before);
}

TEST(DecodeDisplayTest, ExtraCharactersAndPosition17AreLeftAlone)
{
    TSegmentStates states{};
    states[17 * 4 + 2] = 1;
    ASSERT_TRUE(
        DecodeDisplay(QStringLiteral("00") + QString(17, u'0') + QStringLiteral("FFFF"), states));
    EXPECT_EQ(Lit(states), 1);
    EXPECT_TRUE(On(states, 17, 2));
}

TEST(DecodeDisplayTest, MirrorCopiesPositionOneSegmentZeroIntoPosition17)
{
    TSegmentStates states{};
    states[1 * 4 + 0] = 1;
    MirrorPosition17(states);
    for (int segment = 0; segment < 4; ++segment)
        EXPECT_TRUE(On(states, 17, segment));
    states[1 * 4 + 0] = 0;
    states[1 * 4 + 1] = 1;
    MirrorPosition17(states);
    for (int segment = 0; segment < 4; ++segment)
        EXPECT_FALSE(On(states, 17, segment));
}

TEST(DecodeDisplayTest, BlankUnlightsAllSeventyTwo)
{
    TSegmentStates states{};
    states.fill(1);
    BlankDisplay(states);
    EXPECT_EQ(Lit(states), 0);
}

TEST(EncodeDisplayTest, IsTheInverseForPositionsZeroToSixteen)
{
    TSegmentStates states{};
    for (int i = 0; i < 68; i += 3)
        states[size_t(i)] = 1;
    const QString data = EncodeDisplay(states, QStringLiteral("12"));
    EXPECT_EQ(data.size(), 19);
    EXPECT_TRUE(data.startsWith(QStringLiteral("12")));
    TSegmentStates decoded{};
    ASSERT_TRUE(DecodeDisplay(data, decoded));
    EXPECT_EQ(decoded, states);
    EXPECT_EQ(EncodeDisplay(TSegmentStates{}), QStringLiteral("00") + QString(17, u'0'));
}

} // namespace
