#include "device.h"
#include "protocol.h"
#include "settingsfile.h"
#include "smalldisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef __linux__
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#endif

using namespace settingsfile;

namespace {

// Access bytes as the instrument's letters give them: read level, write level, letters read.
constexpr uint8_t kSafeSafe = 0x80 | 0x01 | 0x04;
constexpr uint8_t kFullFull = 0x80 | 0x02 | 0x08;
constexpr uint8_t kSafeLocal = 0x80 | 0x01 | 0x0C;

std::unique_ptr<TNodeData> Data(const QString& name, const QString& reg, const QString& type)
{
    auto data = std::make_unique<TNodeData>();
    data->Name = name;
    data->Register = reg;
    data->TypeCode = type;
    return data;
}

// Nodes as TDevice::ReadMenuChildren leaves them.
TMenuNode& Menu(TMenuNode& parent, const QString& name, const QString& reg)
{
    TMenuNode* node = parent.AddChild(name);
    node->Data = Data(name, reg, "08");
    return *node;
}

TNodeData& Value(TMenuNode& parent, const QString& name, const QString& reg, const QString& type,
                 const QString& raw, const QString& display, uint8_t access = kSafeSafe)
{
    auto data = Data(name, reg, type);
    data->RawValue = raw;
    data->DisplayText = display;
    data->HasValue = 1;
    data->Access = access;
    TMenuNode* node = parent.AddChild(TDevice::NodeCaption(*data));
    node->Data = std::move(data);
    return *node->Data;
}

void NoValue(TMenuNode& parent, const QString& name, const QString& reg, const QString& type)
{
    parent.AddChild(name)->Data = Data(name, reg, type);
}

const QString kCalibration = "00001A2B0000FFFF";

void FillFullTree(TMenuNode& holder)
{
    TMenuNode& top = Menu(holder, "FULL SETUP", "0011");
    TMenuNode& build = Menu(top, "BUILD", "0200");
    Value(build, "DP", "0201", "07", "00000001", "0.0");
    Value(build, "CAP", "0202", "04", "00001388", "500.0");
    Value(build, "LABEL", "0203", "06", "Tank 5\u00B0C", "Tank 5\u00B0C");
    TMenuNode& option = Menu(top, "OPTION", "0210");
    Value(option, "FILTER", "0211", "07", "00000003", "3", kSafeLocal);
    Value(option, "Z.TRACK", "0212", "07", "", "").Valid = 0;
    NoValue(option, "DEFLT", "0213", "0B");
    Menu(top, "SETPNT", "0230").AddChild("...");
    TMenuNode& system = Menu(top, "SYSTEM", "0250");
    NoValue(system, "FAC.TST", "0257", "0F");
    Value(system, "B.LIGHT", "025a", "0C", "0000012A", "ON.AUTO", kFullFull);
}

const char kFullFile[] = "1: FULL SETUP\r\n"
                         "201200F0:00001A2B0000FFFF\r\n"
                         "2: BUILD\r\n"
                         "3: DP       : 0.0\r\n"
                         "20120201:00000001\r\n"
                         "3: CAP      : 500.0\r\n"
                         "20120202:00001388\r\n"
                         "3: LABEL    : Tank 5\xB0"
                         "C\r\n"
                         "20120203:Tank 5\xB0"
                         "C\r\n"
                         "2: OPTION\r\n"
                         "3: FILTER   : 3\r\n"
                         "3: Z.TRACK  : \r\n"
                         "3: DEFLT\r\n"
                         "2: SETPNT\r\n"
                         "3: ...\r\n"
                         "2: SYSTEM\r\n"
                         "3: FAC.TST\r\n"
                         "3: B.LIGHT  : ON.AUTO\r\n"
                         "2012025A:0000012A\r\n";

// A Safe session: items above Safe level are listed unread, and there is no calibration.
void FillSafeTree(TMenuNode& holder)
{
    TMenuNode& top = Menu(holder, "SAFE SETUP", "0011");
    TMenuNode& build = Menu(top, "BUILD", "0200");
    Value(build, "DP", "0201", "07", "00000001", "0.0");
    Value(build, "CAP", "0202", "04", "", "", kFullFull).Valid = 0;
    Value(top, "ADDR", "0223", "01", "00000005", "5");
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The tree as nested captions, e.g. "T(A(B),C)".
QString Shape(const TMenuNode& node)
{
    QString text = node.Caption;
    if (node.Children().empty())
        return text;
    QStringList children;
    for (const auto& child : node.Children())
        children << Shape(*child);
    return text + "(" + children.join(",") + ")";
}

QString TreeShape(const TSendTree& result)
{
    return result.Tree->Children().empty() ? QString() : Shape(*result.Tree->Children().front());
}

} // namespace

TEST(SettingsFileWrite, FullSessionFileIsByteExact)
{
    TMenuNode holder;
    FillFullTree(holder);
    QTemporaryDir dir;
    const QString path = dir.filePath("full.VSF");
    ASSERT_EQ(SaveSettingsFile(path, WriteSettingsFile(holder, kCalibration)), "");
    EXPECT_EQ(ReadBytes(path), QByteArray(kFullFile));
}

TEST(SettingsFileWrite, SafeSessionHasNoCalibrationLine)
{
    TMenuNode holder;
    FillSafeTree(holder);
    EXPECT_EQ(WriteSettingsFile(holder, ""),
              QStringList({"1: SAFE SETUP", "2: BUILD", "3: DP       : 0.0", "20120201:00000001",
                           "3: CAP      : ", "2: ADDR     : 5", "20120223:00000005"}));
}

TEST(SettingsFileWrite, EmptyTreeGivesNothingToSave)
{
    TMenuNode holder;
    EXPECT_TRUE(WriteSettingsFile(holder, kCalibration).isEmpty());
    QTemporaryDir dir;
    EXPECT_FALSE(SaveSettingsFile(dir.filePath("none.VSF"), {}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("none.VSF")));
}

TEST(SettingsFileWrite, LineBreakInCaptionStaysOnItsLine)
{
    TMenuNode holder;
    Value(Menu(holder, "SAFE SETUP", "0011"), "ID", "0256", "06", "AB", "A\r\nB");
    EXPECT_EQ(WriteSettingsFile(holder, "").at(1), "2: ID       : A  B");
}

TEST(SettingsFileRead, RoundTripLeavesRequestsInOrderCalibrationFirst)
{
    TMenuNode holder;
    FillFullTree(holder);
    const TSendTree result = FillSendTree(WriteSettingsFile(holder, kCalibration));
    ASSERT_TRUE(result.Ok()) << result.Error.toStdString();
    EXPECT_EQ(result.RequestTexts(),
              QStringList({"201200F0:00001A2B0000FFFF", "20120201:00000001", "20120202:00001388",
                           "20120203:Tank 5\u00B0C", "2012025A:0000012A"}));
    EXPECT_TRUE(IsCalibrationLine(result.Requests.front().Text));
    EXPECT_EQ(result.Requests.front().LineNumber, 2);
    EXPECT_EQ(result.Requests.back().LineNumber, 19);
    // The captions keep the blank after the level's colon.
    EXPECT_EQ(TreeShape(result), " FULL SETUP( BUILD( DP       : 0.0, CAP      : 500.0, "
                                 "LABEL    : Tank 5\u00B0C), OPTION( FILTER   : 3, Z.TRACK  : , "
                                 "DEFLT), SETPNT( ...), SYSTEM( FAC.TST, B.LIGHT  : ON.AUTO))");
}

TEST(SettingsFileRead, RoundTripThroughDiskOfSafeSession)
{
    TMenuNode holder;
    FillSafeTree(holder);
    QTemporaryDir dir;
    const QString path = dir.filePath("safe.VSF");
    ASSERT_EQ(SaveSettingsFile(path, WriteSettingsFile(holder, "")), "");
    const TFileLines loaded = LoadSettingsFile(path);
    ASSERT_TRUE(loaded.Ok()) << loaded.Error.toStdString();
    const TSendTree result = FillSendTree(loaded.Lines);
    ASSERT_TRUE(result.Ok()) << result.Error.toStdString();
    EXPECT_EQ(result.RequestTexts(), QStringList({"20120201:00000001", "20120223:00000005"}));
    EXPECT_FALSE(IsCalibrationLine(result.Requests.front().Text));
}

TEST(SettingsFileRead, LevelJumpsAttachUnderLastNodeOfShallowerLevel)
{
    const TSendTree result =
        FillSendTree({"1:T", "2:A", "4:B : 1", "20120201:1", "4:C", "3:D", "2:E", "5:F", "5:G"});
    ASSERT_TRUE(result.Ok()) << result.Error.toStdString();
    EXPECT_EQ(TreeShape(result), "T(A(B : 1,C,D),E(F,G))");
    ASSERT_EQ(result.Requests.size(), 1u);
    EXPECT_EQ(result.Requests.front().LineNumber, 4);
}

// Requests with no outline write settings the file does not name: nothing of it is sent.
TEST(SettingsFileRead, FileWithoutOutlineIsRefused)
{
    const TSendTree result = FillSendTree({"20120201:1", "25120a0b:ff"});
    EXPECT_FALSE(result.Ok());
    EXPECT_TRUE(result.Tree->Children().empty());
    EXPECT_TRUE(result.RequestTexts().isEmpty());
    EXPECT_TRUE(result.Error.startsWith("Line 1 ")) << result.Error.toStdString();
}

TEST(SettingsFileRead, LongestMessageIsAccepted)
{
    const QString longest = "20120225:" + QString(protocol::ctl::MaxMessage - 9, u'A');
    EXPECT_TRUE(FillSendTree({"1: T", "2: P.HEAD   : A", longest}).Ok());
}

// What is sent: every request, the calibration only when asked for.
TEST(SettingsFileRead, CalibrationIsSentOnlyWhenAskedFor)
{
    const TSendTree result =
        FillSendTree({"1: FULL SETUP", "201200F0:C1", "2: DP       : 0", "20120201:1"});
    ASSERT_TRUE(result.Ok()) << result.Error.toStdString();
    EXPECT_EQ(result.RequestsToSend(false), QStringList{"20120201:1"});
    EXPECT_EQ(result.RequestsToSend(true), QStringList({"201200F0:C1", "20120201:1"}));
}

struct RefusalCase
{
    const char* what;
    QStringList lines;
    QString error;
};

// Named in test output by its case, not as a byte dump.
inline void PrintTo(const RefusalCase& c, std::ostream* out)
{
    *out << c.what;
}

class SettingsFileRefusal : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(SettingsFileRefusal, NamesFirstBadLineAndSendsNothing)
{
    const TSendTree result = FillSendTree(GetParam().lines);
    EXPECT_EQ(result.Error, GetParam().error);
    EXPECT_TRUE(result.Requests.empty());
    EXPECT_LT(result.Error.size(), 120);
}

const QString kPrefix = "Line %1 of the settings file ";

INSTANTIATE_TEST_SUITE_P(
    Checks, SettingsFileRefusal,
    testing::Values(
        RefusalCase{"SecondTopLine",
                    {"1: FULL SETUP", "2: DP : 0", "20120201:1", "1: SAFE SETUP", "20120202:5"},
                    kPrefix.arg(4) + "does not fit the menu outline: 1: SAFE SETUP"},
        RefusalCase{"NoColon",
                    {"1: T", "2: A", "garbage", "2: B"},
                    kPrefix.arg(3) + "is not a settings write request: garbage"},
        RefusalCase{"OutlineAfterEnd",
                    {"1: T", "0: X", "2: A"},
                    kPrefix.arg(2) + "does not fit the menu outline: 0: X"},
        RefusalCase{"EmptyLine", {"1: T", "2: A", "", "20120201:1"}, kPrefix.arg(3) + "is empty"},
        RefusalCase{"Execute",
                    {"1: T", "2: DP : 0", "20120201:1", "20100102:"},
                    kPrefix.arg(4) + "is not a settings write request: 20100102:"},
        // Writes that are no settings, slipped in where a setting's write would stand.
        RefusalCase{"KeyPress",
                    {"1: T", "2: DP : 0", "20120008:8002"},
                    kPrefix.arg(3) + "writes register 0008, which is no setting: 20120008:8002"},
        RefusalCase{"PasscodeEntry",
                    {"1: T", "2: DP : 0", "20120019:0000"},
                    kPrefix.arg(3) + "writes register 0019, which is no setting: 20120019:0000"},
        RefusalCase{"SessionControl",
                    {"1: T", "2: DP : 0", "201200E2:01"},
                    kPrefix.arg(3) + "writes register 00E2, which is no setting: 201200E2:01"},
        RefusalCase{"CalibrationCommand",
                    {"1: T", "2: DP : 0", "20120102:1388"},
                    kPrefix.arg(3) + "writes register 0102, which is no setting: 20120102:1388"},
        RefusalCase{"SecondWriteOfASetting",
                    {"1: T", "2: DP : 0", "20120201:1", "20120204:2"},
                    kPrefix.arg(4) +
                        "is no write of the setting on the line before it: 20120204:2"},
        RefusalCase{"WriteAfterAMenu",
                    {"1: T", "2: BUILD", "20120204:2"},
                    kPrefix.arg(3) +
                        "is no write of the setting on the line before it: 20120204:2"},
        RefusalCase{"CalibrationAwayFromTheTop",
                    {"1: T", "2: DP : 0", "201200F0:C1"},
                    kPrefix.arg(3) +
                        "writes the calibration away from the top of the outline: 201200F0:C1"},
        RefusalCase{"Read",
                    {"1: T", "20110201:"},
                    kPrefix.arg(2) + "is not a settings write request: 20110201:"},
        RefusalCase{"ReplyFlags",
                    {"A0120201:5"},
                    kPrefix.arg(1) + "is not a settings write request: A0120201:5"},
        RefusalCase{"NoRequestFlag",
                    {"01120201:5"},
                    kPrefix.arg(1) + "is not a settings write request: 01120201:5"},
        RefusalCase{"BadRegister",
                    {"20120G01:5"},
                    kPrefix.arg(1) + "is not a settings write request: 20120G01:5"},
        RefusalCase{"Delete", {"20120201:1\x7F"}, kPrefix.arg(1) + "holds a control character"},
        RefusalCase{"RingFrame",
                    {"1: T", "20120201:1\x12"
                             "21100010:"},
                    kPrefix.arg(2) + "holds a control character"},
        RefusalCase{"TooLong",
                    {"20120146:" + QString(protocol::ctl::MaxMessage - 8, u'A')},
                    kPrefix.arg(1) + "is too long for a request (1001 characters)"},
        RefusalCase{"QuoteIsCut",
                    {"1: T", "20100010:" + QString(50, u'B')},
                    kPrefix.arg(2) +
                        "is not a settings write request: 20100010:" + QString(31, u'B') + "..."}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return info.param.what; });

TEST(SettingsFileLoad, SplitsCrLfAndBareLfAsLatin1)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("mixed.VSF");
    ASSERT_TRUE(WriteBytes(path, "1: T\r\n2: A \xB0\tB\n20120201:1\r\n\r\n3: last"));
    const TFileLines loaded = LoadSettingsFile(path);
    ASSERT_TRUE(loaded.Ok()) << loaded.Error.toStdString();
    EXPECT_EQ(loaded.Lines, QStringList({"1: T", "2: A \u00B0\tB", "20120201:1", "", "3: last"}));
}

TEST(SettingsFileLoad, AcceptsOneMegabyteExactly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.VSF");
    QByteArray bytes(kMaxFileBytes, 'A');
    bytes.replace(0, 4, "1: T");
    ASSERT_TRUE(WriteBytes(path, bytes));
    EXPECT_TRUE(LoadSettingsFile(path).Ok());
}

TEST(SettingsFileLoad, RefusesFilesThatAreNoSettingsFile)
{
    QTemporaryDir dir;
    const struct
    {
        const char* name;
        QByteArray bytes;
        QString error;
    } cases[] = {
        {"empty.VSF", "", "The settings file %1 is empty."},
        {"large.VSF", QByteArray(kMaxFileBytes + 1, 'A'),
         "%1 is too large for a settings file (over 1 MB)."},
        {"nul.VSF", QByteArray("1: T\r\n\0\r\n", 9),
         "%1 is not a settings file: it holds binary data."},
        {"esc.VSF", "1: T\r\n\x1B[0m\r\n", "%1 is not a settings file: it holds binary data."},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        const TFileLines loaded = LoadSettingsFile(path);
        EXPECT_EQ(loaded.Error, c.error.arg(QDir::toNativeSeparators(path))) << c.name;
        EXPECT_TRUE(loaded.Lines.isEmpty());
    }
}

TEST(SettingsFileLoad, FileSystemErrorsNameTheFile)
{
    QTemporaryDir dir;
    const QString missing = QDir::toNativeSeparators(dir.filePath("missing.VSF"));
    QFile probe(missing);
    EXPECT_FALSE(probe.open(QIODevice::ReadOnly));
    EXPECT_EQ(LoadSettingsFile(missing).Error,
              QString("Cannot open %1: %2").arg(missing, probe.errorString()));
    EXPECT_EQ(LoadSettingsFile(dir.path()).Error,
              QString("%1 is not a settings file.").arg(QDir::toNativeSeparators(dir.path())));
}

TEST(SettingsFileSave, RefusesLinesThatWouldNotReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s.VSF");
    EXPECT_FALSE(SaveSettingsFile(path, {"1: T", "20120256:A\r\nB"}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(SaveSettingsFile(path, {"1: T\tX"}), "");
}

TEST(SettingsFileSave, MissingFolderGivesSystemError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("no/such/s.VSF");
    const QString error = SaveSettingsFile(path, {"1: T"});
    EXPECT_TRUE(error.startsWith("Cannot save " + QDir::toNativeSeparators(path) + ": "));
    EXPECT_GT(error.size(), QString("Cannot save " + path + ": ").size());
}

TEST(SettingsFileSave, ReadOnlyFolderKeepsEarlierFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s.VSF");
    ASSERT_EQ(SaveSettingsFile(path, {"1: OLD"}), "");
    const auto permissions = QFile::permissions(dir.path());
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    if (QFileInfo(dir.path()).isWritable()) {
        QFile::setPermissions(dir.path(), permissions);
        GTEST_SKIP() << "the folder stays writable for this user (root)";
    }
    const QString error = SaveSettingsFile(path, {"1: NEW", "20120201:1"});
    QFile::setPermissions(dir.path(), permissions);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadBytes(path), "1: OLD\r\n");
}

#ifdef __linux__
// A file-size limit makes the write fail as a full disk would, even for root.
TEST(SettingsFileSave, FailedWriteKeepsEarlierFileAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("s.VSF");
    ASSERT_EQ(SaveSettingsFile(path, {"1: OLD"}), "");
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 1024;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString error = SaveSettingsFile(path, QStringList(200, "20120201:0123456789ABCDEF"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(error, QString("Cannot save %1: %2")
                         .arg(QDir::toNativeSeparators(path),
                              QString::fromLocal8Bit(std::strerror(EFBIG))));
    EXPECT_EQ(ReadBytes(path), "1: OLD\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"s.VSF"}));
}
#endif

TEST(SettingsFileSave, FullOrReadOnlyDiskKeepsTheEarlierFile)
{
    SKIP_UNLESS_RUN(OnSmallDisks("s.VSF", "1: OLD\r\n", [](TSmallDisk& disk) {
        return SaveSettingsFile(disk.Path("s.VSF"), QStringList(400, "20120201:0123456789ABCDEF"));
    }));
}

TEST(SettingsFileNames, DefaultExtensionOnlyWhenNameHasNone)
{
    const struct
    {
        QString path, expected;
    } cases[] = {
        {"a/b", "a/b.VSF"},         {"a/b.txt", "a/b.txt"},
        {"a.dir/b", "a.dir/b.VSF"}, {"b", "b.VSF"},
        {"a/b.vsf", "a/b.vsf"},     {"C:\\x.d\\b", "C:\\x.d\\b.VSF"},
        {"a/b.", "a/b."},           {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithDefaultExtension(c.path, ".VSF"), c.expected) << c.path.toStdString();
}

TEST(SettingsFileTree, UnreadMenusAreFoundAtAnyDepth)
{
    TMenuNode full;
    FillFullTree(full);
    EXPECT_TRUE(HasUnreadMenus(full));
    TMenuNode safe;
    FillSafeTree(safe);
    EXPECT_FALSE(HasUnreadMenus(safe));
    // A menu really named "..." is read, not a placeholder.
    NoValue(*safe.Children().front(), "...", "0300", "0B");
    EXPECT_FALSE(HasUnreadMenus(safe));
}

TEST(SettingsFileRequests, ReaddressedKeepsFlagsAndRest)
{
    EXPECT_EQ(Readdressed("20120201:5", 5), "25120201:5");
    EXPECT_EQ(Readdressed("25120201:5", 0), "20120201:5");
    EXPECT_EQ(Readdressed("20120201:5", 31), "3F120201:5");
    EXPECT_EQ(Readdressed("20120201:5", 37), "25120201:5");
    EXPECT_EQ(Readdressed("201200F0:AB", 1), "211200F0:AB");
}

TEST(SettingsFileRequests, CalibrationLineIsTheWriteOfTheBlock)
{
    EXPECT_TRUE(IsCalibrationLine("201200F0:0123"));
    EXPECT_TRUE(IsCalibrationLine("211200f0:"));
    EXPECT_FALSE(IsCalibrationLine("20120200:1200F0:"));
    EXPECT_FALSE(IsCalibrationLine("201100F0:"));
}
