// Settings files that are cut short, binary, enormous, junk or no file at all: each is
// refused with a message naming the file (or its first bad line), and nothing is sent.
#include "badfiles.h"
#include "settingsfile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using namespace settingsfile;

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A Full session's file as the program writes it.
const QByteArray kFile = "1: FULL SETUP\r\n"
                         "201200F0:00001A2B0000FFFF\r\n"
                         "2: BUILD\r\n"
                         "3: DP       : 0.0\r\n"
                         "20120201:00000001\r\n"
                         "3: CAP      : 500.0\r\n"
                         "20120202:00001388\r\n";

class BadSettingsFiles : public ::testing::Test
{
protected:
    QString Write(const QByteArray& bytes)
    {
        EXPECT_TRUE(badfiles::WriteBytes(m_path, bytes));
        return m_path;
    }
    // The message with the file's name in it.
    QString Named(const QString& message) const
    {
        return message.arg(QDir::toNativeSeparators(m_path));
    }

    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("bad.VSF"));
};

// The file cut after `keep` bytes: what it gives.
struct CutCase
{
    const char* what;
    qsizetype keep;
    QString loadError;    // from LoadSettingsFile, "%1" for the file
    QString checkError;   // from FillSendTree when the file loads
    QStringList requests; // what may be sent when both pass
};

// Named in test output by its case, not as a byte dump.
inline void PrintTo(const CutCase& c, std::ostream* out)
{
    *out << c.what;
}

class CutSettingsFile : public BadSettingsFiles, public testing::WithParamInterface<CutCase>
{
};

TEST_P(CutSettingsFile, SendsOnlyWhatIsWhole)
{
    const CutCase& c = GetParam();
    const TFileLines file = LoadSettingsFile(Write(kFile.left(c.keep)));
    EXPECT_EQ(file.Error, c.loadError.isEmpty() ? QString() : Named(c.loadError));
    if (!file.Ok())
        return;
    const TSendTree tree = FillSendTree(file.Lines);
    EXPECT_EQ(tree.Error, c.checkError);
    EXPECT_EQ(tree.RequestTexts(), c.requests);
}

INSTANTIATE_TEST_SUITE_P(
    Truncated, CutSettingsFile,
    testing::Values(
        // The last value lost a digit: sent so, it would set the capacity to 500 kg / 16.
        CutCase{"InsideLastValue",
                kFile.size() - 3,
                "%1 is cut short: line 7 has no line end.",
                {},
                {}},
        CutCase{
            "BetweenCrAndLf", kFile.size() - 1, "%1 is cut short: line 7 has no line end.", {}, {}},
        CutCase{"InsideRequestHeader",
                kFile.indexOf("20120202") + 6,
                {},
                "Line 7 of the settings file is not a settings write request: 201202",
                {}},
        CutCase{"InsideCaption",
                kFile.indexOf("CAP") + 2,
                {},
                {},
                {"201200F0:00001A2B0000FFFF", "20120201:00000001"}},
        CutCase{"AtALineEnd",
                kFile.indexOf("3: CAP"),
                {},
                {},
                {"201200F0:00001A2B0000FFFF", "20120201:00000001"}}),
    [](const testing::TestParamInfo<CutCase>& info) { return info.param.what; });

TEST_F(BadSettingsFiles, BinaryFilesAreRefused)
{
    const QString binary = QStringLiteral("%1 is not a settings file: it holds binary data.");
    EXPECT_EQ(LoadSettingsFile(Write(badfiles::Junk(4096))).Error, Named(binary));
    // A picture or a segment map chosen by mistake.
    EXPECT_EQ(LoadSettingsFile(Write(QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10))).Error,
              Named(binary));
    EXPECT_EQ(LoadSettingsFile(Write(QByteArray("\x0C\x04\0\0\x1F\x01\0\0\xF4\x01", 10))).Error,
              Named(binary));
    // The right file saved as UTF-16 by an editor.
    const QString text = QString::fromLatin1(kFile);
    EXPECT_EQ(LoadSettingsFile(
                  Write(QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)))
                  .Error,
              Named(binary));
}

TEST_F(BadSettingsFiles, GiantFilesAreRefusedUnread)
{
    const QString tooLarge = QStringLiteral("%1 is too large for a settings file (over 1 MB).");
    const long before = badfiles::PeakResidentMiB();
    ASSERT_TRUE(badfiles::WriteSparse(m_path, badfiles::kGigabyte, kFile));
    EXPECT_EQ(LoadSettingsFile(m_path).Error, Named(tooLarge));
    EXPECT_LT(badfiles::PeakResidentMiB() - before, 64) << "the file was not read";
    EXPECT_EQ(LoadSettingsFile(Write(badfiles::TextJunk(10 << 20))).Error, Named(tooLarge));
}

TEST_F(BadSettingsFiles, TextJunkNamesItsFirstBadLine)
{
    // A first line without ':' reads as the outline's top; the next cannot follow it.
    const TFileLines file = LoadSettingsFile(Write("Dear instrument,\r\nplease weigh.\r\n"));
    ASSERT_TRUE(file.Ok());
    const TSendTree tree = FillSendTree(file.Lines);
    EXPECT_EQ(tree.Error,
              "Line 2 of the settings file is not a settings write request: please weigh.");
    EXPECT_TRUE(tree.Requests.empty());
}

TEST_F(BadSettingsFiles, PipeIsNoSettingsFileAndDoesNotBlock)
{
    if (!badfiles::MakeFifo(m_path))
        GTEST_SKIP() << "no named pipes here";
    EXPECT_EQ(LoadSettingsFile(m_path).Error, Named(QStringLiteral("%1 is not a settings file.")));
}

} // namespace
