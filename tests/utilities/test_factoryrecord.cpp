// The factory-record decoder: which records are refused and how, the points, the error axis
// range and the texts around the chart.
#include "factoryrecord.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace factoryrecord;

constexpr double kTolerance = 1e-9;
const QString kNotAvailable = QStringLiteral("Test Results not available for this Instrument");
const QString kMenuRecord = QStringLiteral(
    "0005021003090046640A141E28323C46505A28320A141E28323C46505A000AFAF4FEF8F2FCF6F0FA");

// A record of the known layout: 61 bytes, numbered from 1 as in the layout.
struct TRecord
{
    std::array<int, 62> bytes{};

    TRecord()
    {
        bytes[1] = 1;
        bytes[2] = 5; // 2005
        bytes[3] = 2;
        bytes[4] = 16;
        bytes[5] = 3;
        bytes[7] = 0xA5;
    }
    QString Text() const
    {
        QString text;
        for (size_t n = 1; n < bytes.size(); ++n)
            text += QStringLiteral("%1").arg(bytes[n], 2, 16, QChar(u'0')).toUpper();
        return text;
    }
};

// The record of the first worked example: two points, error scale 100, load scale 70.
TRecord Example()
{
    TRecord r;
    r.bytes[6] = 2;
    r.bytes[8] = 100;
    r.bytes[9] = 70;
    r.bytes[10] = 10;
    r.bytes[11] = 20;
    r.bytes[19] = 20;
    r.bytes[21] = 0x0A;
    r.bytes[22] = 0xFA;
    r.bytes[30] = 0xFB;
    r.bytes[32] = 0x05;
    r.bytes[33] = 0x80;
    return r;
}

void ExpectPoints(const std::vector<QPointF>& seen, const std::vector<QPointF>& expected)
{
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_NEAR(seen[i].x(), expected[i].x(), kTolerance) << "point " << i;
        EXPECT_NEAR(seen[i].y(), expected[i].y(), kTolerance) << "point " << i;
    }
}

void ExpectEnvelope(const TFactoryChart& chart)
{
    ExpectPoints(chart.upperLimits,
                 {{0, 0.25}, {500, 0.25}, {1000, 0.5}, {2000, 0.75}, {10000, 0.75}});
    ExpectPoints(chart.lowerLimits,
                 {{0, -0.25}, {500, -0.25}, {1000, -0.5}, {2000, -0.75}, {10000, -0.75}});
}

TEST(FactoryRecord, WorkedExamplePlotsItsPoints)
{
    const TFactoryChart chart = Decode(Example().Text(), QStringLiteral("93123456"));
    ASSERT_TRUE(chart.Accepted());
    EXPECT_TRUE(chart.message.isEmpty());
    ExpectEnvelope(chart);
    ExpectPoints(chart.pointsA, {{0, 0}, {0.4, 0.4}, {0.8, -0.24}});
    ExpectPoints(chart.pointsB, {{0, 0}, {0.4, 0.2}, {0.8, -5.12}});
    EXPECT_EQ(chart.titleA, "20 Degrees C");
    EXPECT_EQ(chart.titleB, "251 Degrees C") << "temperatures are unsigned";
    EXPECT_EQ(chart.titleLines, QStringList({"Test Results for Serial #93123456", "16/02/2005"}));
    EXPECT_EQ(chart.errorAxisTitle, " Error (0.70 uV per division)");
    EXPECT_EQ(chart.divisionsAxisTitle, " Divisions (0.70 uV per division)");
    EXPECT_EQ(chart.zeroDriftText, "Maximum Zero Drift = 0.00 microvolts/degree celcius");
    ASSERT_TRUE(chart.errorRange);
    EXPECT_NEAR(chart.errorRange->min, -5.12 * 1.1, kTolerance);
    EXPECT_NEAR(chart.errorRange->max, 0.75 * 1.1, kTolerance) << "the envelope counts too";
}

TEST(FactoryRecord, DateLineKeepsItsColumns)
{
    TRecord r;
    r.bytes[2] = 26;
    r.bytes[3] = 11;
    r.bytes[4] = 6;
    EXPECT_EQ(Decode(r.Text(), "1").titleLines.value(1), " 6/11/2026");
}

TEST(FactoryRecord, SmallErrorsKeepTheEnvelopeInView)
{
    const TFactoryChart chart = Decode(TRecord().Text(), "1");
    ASSERT_TRUE(chart.errorRange);
    EXPECT_NEAR(chart.errorRange->min, -0.825, kTolerance);
    EXPECT_NEAR(chart.errorRange->max, 0.825, kTolerance);
    SCOPED_TRACE("no points: the origin alone");
    ExpectPoints(chart.pointsA, {{0, 0}});
}

TEST(FactoryRecord, PointCountBeyondTheRecordStopsAtNine)
{
    TRecord r = Example();
    r.bytes[6] = 200;
    for (int i = 0; i < 9; ++i) {
        r.bytes[size_t(10 + i)] = 35 * (i + 1) / 5;
        r.bytes[size_t(21 + i)] = i + 1;
    }
    const TFactoryChart chart = Decode(r.Text(), "1");
    ASSERT_EQ(chart.pointsA.size(), 10u);
    EXPECT_NEAR(chart.pointsA.back().x(), 63 * 70 * 0.0004 / 0.7, kTolerance);
    EXPECT_NEAR(chart.pointsA.back().y(), 9 * 100 * 0.0004, kTolerance);
}

struct TRefusal
{
    const char* what;
    QString record;
    TStatus status;
};

// Named in test output by its case, not as a dump of the object's bytes.
inline void PrintTo(const TRefusal& c, std::ostream* out)
{
    *out << c.what;
}

class Refusals : public ::testing::TestWithParam<TRefusal>
{
};

TEST_P(Refusals, LeaveTheEnvelopeAlone)
{
    const TFactoryChart chart = Decode(GetParam().record, "93123456");
    EXPECT_EQ(chart.status, GetParam().status);
    EXPECT_EQ(chart.message, GetParam().status == TStatus::Refused ? kNotAvailable : QString());
    ExpectEnvelope(chart);
    EXPECT_TRUE(chart.pointsA.empty());
    EXPECT_TRUE(chart.pointsB.empty());
    EXPECT_EQ(chart.titleA, "Data1");
    EXPECT_EQ(chart.titleB, "Data2");
    EXPECT_FALSE(chart.errorRange) << "the error axis scales itself";
    EXPECT_TRUE(chart.titleLines.isEmpty());
    EXPECT_TRUE(chart.errorAxisTitle.isEmpty());
    EXPECT_TRUE(chart.zeroDriftText.isEmpty());
}

QString WithByte(int n, const char* pair)
{
    QString text = Example().Text();
    text.replace((n - 1) * 2, 2, QLatin1String(pair));
    return text;
}

std::vector<TRefusal> RefusalCases()
{
    const QString good = Example().Text();
    return {
        {"the menu's record", kMenuRecord, TStatus::Refused},
        {"19 characters", good.left(19), TStatus::TooShort},
        {"empty", QString(), TStatus::TooShort},
        {"20 characters", good.left(20), TStatus::Refused},
        {"one byte more", good + "00", TStatus::Refused},
        {"one character less", good.left(121), TStatus::Refused},
        {"format 2", WithByte(1, "02"), TStatus::Refused},
        {"damaged format, second digit", WithByte(1, "0G"), TStatus::Refused},
        {"damaged format, first digit", WithByte(1, "G1"), TStatus::Refused},
        {"kind 4", WithByte(5, "04"), TStatus::Refused},
        {"no marker", WithByte(7, "A4"), TStatus::Refused},
    };
}

INSTANTIATE_TEST_SUITE_P(Records, Refusals, ::testing::ValuesIn(RefusalCases()));

TEST(FactoryRecord, DamagedPairsReadAsZero)
{
    const TFactoryChart chart = Decode(WithByte(21, "x1"), "1");
    ASSERT_TRUE(chart.Accepted());
    EXPECT_NEAR(chart.pointsA[1].y(), 0.0, kTolerance);
    EXPECT_NEAR(chart.pointsA[2].y(), -0.24, kTolerance);
    EXPECT_TRUE(Decode(Example().Text().toLower(), "1").Accepted()) << "either case";
}

} // namespace
