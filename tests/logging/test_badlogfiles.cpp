// Log files that are cut short, binary, enormous, junk or no file at all. A file the reader
// refuses leaves the chart as it was and says why; one it reads gives only what is in it.
#include "badfiles.h"
#include "logfile.h"
#include "tracestore.h"

#include <QDir>
#include <QTemporaryDir>

#include "printqstring.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kRun = "Tank 5\r\n"
                        "Time,Weight(kg),CofZ\r\n"
                        "0.00,12.34,1.00\r\n"
                        "0.10,12.36,0.00\r\n"
                        "0.20,12.40,1.00\r\n";

class BadLogFiles : public ::testing::Test
{
protected:
    BadLogFiles()
    {
        // What the chart showed before: a refused file must leave it.
        m_store.AddPoint(traces::Weight, 1.0, 99.0);
    }

    TLogReadResult Read(const QByteArray& bytes)
    {
        EXPECT_TRUE(badfiles::WriteBytes(m_path, bytes));
        return logfile::Read(m_path, m_store);
    }
    QString Named(const char* message) const
    {
        return QString::fromLatin1(message).arg(QDir::toNativeSeparators(m_path));
    }
    void ExpectRefusedWithChartKept(const TLogReadResult& result, const QString& message)
    {
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.cancelled);
        EXPECT_EQ(result.message, message);
        EXPECT_EQ(m_store.clears, 0);
        ASSERT_EQ(m_store.PointCount(traces::Weight), 1);
        EXPECT_EQ(m_store.Point(traces::Weight, 0).value, 99.0);
    }

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("bad.CSV"));
    TTraceStore m_store;
};

TEST_F(BadLogFiles, CutInsideARowKeepsTheWholeRowsAndWhatIsLeftOfIt)
{
    const TLogReadResult result = Read(kRun.left(kRun.size() - 6)); // "0.20,12.4"
    ASSERT_TRUE(result.ok && result.headerRead);
    EXPECT_EQ(result.rows, 3);
    ASSERT_EQ(m_store.PointCount(traces::Weight), 3);
    EXPECT_EQ(m_store.Point(traces::Weight, 1).value, 12.36);
    EXPECT_EQ(m_store.Point(traces::Weight, 2).value, 12.4);
    EXPECT_EQ(m_store.PointCount(1), 2) << "the cut row lost its CofZ field";
}

TEST_F(BadLogFiles, CutInsideTheHeaderLeavesAnEmptyChart)
{
    const TLogReadResult result = Read(kRun.left(kRun.indexOf("Weight")));
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.headerRead);
    EXPECT_EQ(m_store.PointCount(traces::Weight), 0);
}

TEST_F(BadLogFiles, BinaryFilesAreRefused)
{
    const QString binary = Named("%1 is not a log file: it holds binary data.");
    ExpectRefusedWithChartKept(Read(badfiles::Junk(4096)), binary);
    // A run whose disk filled up mid-write can end in zeros.
    ExpectRefusedWithChartKept(Read(kRun + QByteArray(512, '\0')), binary);
    ExpectRefusedWithChartKept(Read(badfiles::Junk(10 << 20)), binary);
}

TEST_F(BadLogFiles, GiantFilesAreRefusedUnread)
{
    const long before = badfiles::PeakResidentMiB();
    ASSERT_TRUE(badfiles::WriteSparse(m_path, badfiles::kGigabyte, kRun));
    ExpectRefusedWithChartKept(logfile::Read(m_path, m_store),
                               Named("%1 is too large for a log file (over 256 MB)."));
    EXPECT_LT(badfiles::PeakResidentMiB() - before, 64) << "the file was not read";
}

TEST_F(BadLogFiles, EndlessLinesGiveShortTexts)
{
    // Ten megabytes of text without a line end, then a header and a row.
    const QByteArray comment(10 << 20, 'c');
    const QByteArray header = "Time,Weight(kg)," + QByteArray(1 << 20, 'L');
    const TLogReadResult result = Read(comment + "\r\n" + header + "\r\n1.00,2.5\r\n");
    ASSERT_TRUE(result.ok && result.headerRead);
    EXPECT_EQ(result.comment, QString(1000, u'c')) << "a label shows the comment";
    EXPECT_EQ(result.units, "kg");
    EXPECT_EQ(result.labels[0].size(), 1000 - 16);
    EXPECT_EQ(m_store.PointCount(traces::Weight), 1);
}

TEST_F(BadLogFiles, TextJunkReadsAsZerosAsTheFormatSays)
{
    const TLogReadResult result = Read(badfiles::TextJunk(10 << 20));
    ASSERT_TRUE(result.ok && result.headerRead);
    EXPECT_TRUE(result.units.isEmpty()) << "no Time header, so no units or labels";
    EXPECT_GT(result.rows, 50'000);
    EXPECT_LE(m_store.PointCount(traces::Weight), result.rows);
}

TEST_F(BadLogFiles, PipeIsNoLogFileAndDoesNotBlock)
{
    if (!badfiles::MakeFifo(m_path))
        GTEST_SKIP() << "no named pipes here";
    ExpectRefusedWithChartKept(logfile::Read(m_path, m_store), Named("%1 is not a log file."));
}

} // namespace

// Values no run can give are refused with their line (not drawn as 0), and the traces emptied.
TEST_F(BadLogFiles, UnholdableValuesAreRefusedNamingTheLine)
{
    const QByteArray digits(400, '9');
    for (const QByteArray& value :
         {QByteArray("1e308"), QByteArray("inf"), QByteArray("NaN"), QByteArray("-Infinity"),
          QByteArray("+1e300"), QByteArray("1e400"), QByteArray("2147483648.5"), digits}) {
        const TLogReadResult result = Read(kRun + "0.30,12.4," + value + "\r\n0.40,1.0\r\n");
        EXPECT_EQ(result.message,
                  Named("%1 is refused: line 6 holds %2, which is no value a log file can hold.")
                      .arg(QString::fromLatin1(value)));
        EXPECT_EQ(m_store.PointCount(traces::Weight), 0);
    }
    ASSERT_TRUE(Read(kRun + "-2147483648,-2147483648\r\n0.40,1e2\r\n0.50,12 kg\r\n").ok);
    EXPECT_EQ(m_store.Point(traces::Weight, 3).value, -2147483648.0) << "the largest reading";
    EXPECT_EQ(m_store.Point(traces::Weight, 4).value, 0.0) << "no fixed-point number: 0";
}
