// The sample intake of a logging run: readings in, kept chart points out.
#include "logsampler.h"

#include "protocol.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

QString Reading(uint32_t tick, uint32_t weight, uint32_t status)
{
    return QStringLiteral("%1%2%3")
        .arg(tick, 8, 16, QChar(u'0'))
        .arg(weight, 8, 16, QChar(u'0'))
        .arg(status, 8, 16, QChar(u'0'))
        .toUpper();
}

// Ticks of 40 ms from an origin.
uint32_t TickAt(double seconds, uint32_t origin = 1000)
{
    return origin + uint32_t(std::lround(seconds / 0.04));
}

TEST(LogChannelsTest, ItemTextsAndStatusMasksInListOrder)
{
    namespace status = protocol::status;
    const struct
    {
        const char* text;
        uint32_t mask;
    } expected[] = {{"None", 0},
                    {"CofZ", status::CentreOfZero},
                    {"Zero", status::Zero},
                    {"Motion", status::Motion},
                    {"Net", status::Net},
                    {"Output 1", status::Output1},
                    {"Output 2", status::Output2}};
    const QStringList texts = logchannels::ChannelTexts();
    ASSERT_EQ(texts.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(texts[i], expected[i].text);
        EXPECT_STREQ(logchannels::Channel(i).text, expected[i].text);
        EXPECT_EQ(logchannels::Channel(i).mask, expected[i].mask) << i;
    }
    EXPECT_STREQ(logchannels::Channel(7).text, "None");
    EXPECT_STREQ(logchannels::Channel(-1).text, "None");
}

TEST(LogChannelsTest, BaselinesKeepTheFourTracesApart)
{
    EXPECT_EQ(logchannels::Baseline(1), 0.0);
    EXPECT_EQ(logchannels::Baseline(2), 1.5);
    EXPECT_EQ(logchannels::Baseline(3), 3.0);
    EXPECT_EQ(logchannels::Baseline(4), 4.5);
    EXPECT_EQ(logchannels::Baseline(0), 0.0);
    EXPECT_EQ(logchannels::Baseline(5), 0.0);
}

TEST(LogChannelsTest, RateTableAndPreselection)
{
    EXPECT_EQ(logchannels::RateTexts(), QStringList({"10 Hz", "1 Hz", "1/10 secs"}));
    const struct
    {
        int index;
        double period;
    } rates[] = {{0, 0.1}, {1, 1.0}, {2, 10.0}, {-1, 0.05}, {3, 0.05}};
    for (const auto& rate : rates)
        EXPECT_EQ(logchannels::PeriodForRate(rate.index), rate.period) << rate.index;
    const struct
    {
        double period;
        int index;
    } preselect[] = {{0.05, 0}, {0.1, 0}, {0.5, 0}, {0.51, 1}, {1.0, 1}, {5.0, 1}, {10.0, 2}};
    for (const auto& p : preselect)
        EXPECT_EQ(logchannels::RateForPeriod(p.period), p.index) << p.period;
}

TEST(LogSamplerTest, SettingsAreKeptInRange)
{
    TLogSampler sampler;
    EXPECT_EQ(sampler.SamplePeriod(), 0.1);
    sampler.SetSelection(1, 3);
    sampler.SetSelection(2, -1);
    sampler.SetSelection(3, 7);
    sampler.SetSelection(5, 2); // no such channel
    EXPECT_EQ(sampler.Selection(1), 3);
    EXPECT_EQ(sampler.Selection(2), 0);
    EXPECT_EQ(sampler.Selection(3), 0);
    EXPECT_EQ(sampler.Selection(5), 0);
    const int32_t divisors[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    for (int d = 0; d <= 6; ++d) {
        sampler.SetDecimals(d);
        EXPECT_EQ(sampler.Divisor(), divisors[d]);
    }
    sampler.SetDecimals(9);
    EXPECT_EQ(sampler.Decimals(), 6);
}

TEST(LogSamplerTest, FirstSampleIsTheTimeOriginAndTheSameTickIsDropped)
{
    TLogSampler sampler;
    const auto first = sampler.Process(Reading(5000, 12, 0));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->time, 0.0);
    EXPECT_EQ(first->weight, 12.0);
    EXPECT_EQ(sampler.StartTick(), 5000u);
    EXPECT_FALSE(sampler.Process(Reading(5000, 13, 0)));
    const auto next = sampler.Process(Reading(5003, 14, 0));
    ASSERT_TRUE(next);
    EXPECT_DOUBLE_EQ(next->time, 0.12);
    EXPECT_EQ(sampler.KeptCount(), 2);
}

TEST(LogSamplerTest, MalformedReadingsAreIgnoredAndDoNotStartTheRun)
{
    TLogSampler sampler;
    const QString good = Reading(100, 1, 0);
    EXPECT_FALSE(sampler.Process(good.left(23)));
    EXPECT_FALSE(sampler.Process(good + u'0'));
    EXPECT_FALSE(sampler.Process(QString()));
    EXPECT_EQ(sampler.KeptCount(), 0);
    EXPECT_TRUE(sampler.Process(good));
}

TEST(LogSamplerTest, OneHertzKeepsTheFirstSampleOnEachSecond)
{
    TLogSampler sampler;
    sampler.SetSamplePeriod(logchannels::PeriodForRate(1));
    std::vector<double> kept;
    for (double t : {0.00, 0.52, 0.96, 1.00, 1.04}) {
        if (const auto point = sampler.Process(Reading(TickAt(t), 0, 0)))
            kept.push_back(point->time);
    }
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], 0.0);
    EXPECT_DOUBLE_EQ(kept[1], 1.0);
}

TEST(LogSamplerTest, SamplesExactlyOnTheRateAreNeverSkipped)
{
    // At 10 Hz with 40 ms ticks, kept sample k is the first tick at or after k * 2.5 ticks.
    TLogSampler sampler;
    sampler.SetSamplePeriod(0.1);
    int k = 0;
    for (uint32_t tick = 0; tick < 2500; ++tick) {
        const auto point = sampler.Process(Reading(tick + 1, 0, 0));
        const bool due = tick == uint32_t((5 * k + 1) / 2);
        ASSERT_EQ(point.has_value(), due) << "tick " << tick << " (" << tick * 0.04 << " s)";
        if (point)
            ++k;
    }
    EXPECT_EQ(k, 1000);
}

TEST(LogSamplerTest, WeightIsSignedCountsOverTheDivisor)
{
    TLogSampler sampler;
    sampler.SetDecimals(2);
    const auto point = sampler.Process(QStringLiteral("00000001FFFFFF9C00000000"));
    ASSERT_TRUE(point);
    EXPECT_DOUBLE_EQ(point->weight, -1.0);
    sampler.Restart();
    const auto lower = sampler.Process(QStringLiteral("00000001000004d200000000"));
    ASSERT_TRUE(lower);
    EXPECT_DOUBLE_EQ(lower->weight, 12.34) << "hexadecimal in either case";
}

TEST(LogSamplerTest, StatusBitsSetTheSelectedChannelsAboveTheirBaselines)
{
    TLogSampler sampler;
    sampler.SetSelection(1, 1); // CofZ
    sampler.SetSelection(2, 2); // Zero
    sampler.SetSelection(3, 3); // Motion
    sampler.SetSelection(4, 0); // None
    const auto point = sampler.Process(Reading(1, 0, 0x0C00));
    ASSERT_TRUE(point);
    ASSERT_TRUE(point->digital[0] && point->digital[1] && point->digital[2]);
    EXPECT_EQ(*point->digital[0], 1.0);
    EXPECT_EQ(*point->digital[1], 2.5);
    EXPECT_EQ(*point->digital[2], 3.0);
    EXPECT_FALSE(point->digital[3]);
}

TEST(LogSamplerTest, TickCounterWrapsAroundAndLateTicksAreDropped)
{
    TLogSampler sampler;
    sampler.SetSamplePeriod(1.0);
    ASSERT_TRUE(sampler.Process(Reading(0xFFFFFFF0u, 0, 0)));
    EXPECT_FALSE(sampler.Process(Reading(0xFFFFFFE0u, 0, 0))) << "before the start";
    const auto wrapped = sampler.Process(Reading(0x00000009u, 0, 0)); // 25 ticks on
    ASSERT_TRUE(wrapped);
    EXPECT_DOUBLE_EQ(wrapped->time, 1.0);
}

TEST(LogSamplerTest, RestartStartsANewTimeOrigin)
{
    TLogSampler sampler;
    ASSERT_TRUE(sampler.Process(Reading(100, 0, 0)));
    ASSERT_TRUE(sampler.Process(Reading(200, 0, 0)));
    sampler.Restart();
    const auto point = sampler.Process(Reading(900, 0, 0));
    ASSERT_TRUE(point);
    EXPECT_EQ(point->time, 0.0);
    EXPECT_EQ(sampler.StartTick(), 900u);
}

} // namespace
