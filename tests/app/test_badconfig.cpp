// config.ini with values out of range or not numbers, sections missing, junk, binary or
// enormous, and a program folder the user may not write: every case gives a safe default or
// a refusal ("The Ini file for this Viewer is corrupt." at start), and config.ini is never
// rewritten from a file the program could not read whole.
#include "badfiles.h"
#include "dmviewer.h"
#include "portconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#ifdef __linux__
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kImages = "[Images]\nInstrument=Q910.jpg\n";

// One [Comms] line and what the port dialog and the line get from it.
struct CommsCase
{
    const char* line;
    int cable, baud, parity, data, stop, address;
    int lineBaud;
};

// Named in test output by its case, not as a byte dump.
inline void PrintTo(const CommsCase& c, std::ostream* out)
{
    *out << c.line;
}

class BadCommsValue : public testing::TestWithParam<CommsCase>
{
};

TEST_P(BadCommsValue, GivesTheDialogsDefault)
{
    const CommsCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(badfiles::WriteBytes(dir.filePath("config.ini"),
                                     kImages + "[Comms]\nCable=0\n" + c.line + "\n"));
    TdatViewer config(dir.path());
    ASSERT_TRUE(config.ConfigValid());
    const TPortChoice choice = portconfig::LoadPortDialog(config);
    EXPECT_EQ(choice.cable, c.cable);
    EXPECT_EQ(choice.baud, c.baud);
    EXPECT_EQ(choice.parity, c.parity);
    EXPECT_EQ(choice.data, c.data);
    EXPECT_EQ(choice.stop, c.stop);
    EXPECT_EQ(choice.address, c.address);
    EXPECT_EQ(serialports::LineSettingsFor(choice).baud, c.lineBaud);
    // The dialog's OK saves what it showed, never the bad value again.
    portconfig::SavePortDialog(config, choice);
    const TPortChoice saved = portconfig::LoadPortDialog(config);
    EXPECT_EQ(std::tie(saved.cable, saved.baud, saved.parity, saved.data, saved.stop),
              std::tie(c.cable, c.baud, c.parity, c.data, c.stop));
    EXPECT_EQ(config.Address(), c.address);
}

constexpr int kRing = TPortChoice::RS232Ring;

// Defaults: cable RS232 (from the file), 9600 baud (index 2), no parity, 8 data bits (1),
// 1 stop bit (0), address Any.
INSTANTIATE_TEST_SUITE_P(
    Comms, BadCommsValue,
    testing::Values(
        CommsCase{"Baud=99", 0, 2, 0, 1, 0, 0, 9600}, CommsCase{"Baud=-1", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Baud=fast", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Baud=4", 0, 4, 0, 1, 0, 0, 38400},
        CommsCase{"Address=-3", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Address=32", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Address=99999999999", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Address=7", 0, 2, 0, 1, 0, 7, 9600},
        CommsCase{"Parity=x", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Parity=3", 0, 2, 0, 1, 0, 0, 9600}, CommsCase{"Data=5", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Stop=2", 0, 2, 0, 1, 0, 0, 9600}, CommsCase{"Stop=1.5", 0, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Cable=9", kRing, 2, 0, 1, 0, 0, 9600},
        CommsCase{"Cable=", kRing, 2, 0, 1, 0, 0, 9600}),
    [](const testing::TestParamInfo<CommsCase>& info) {
        QString name = QString::fromLatin1(info.param.line);
        name.replace(u'=', u'_').replace(u'-', u'm').replace(u'.', u'p');
        return (name.endsWith(u'_') ? name + QStringLiteral("empty") : name).toStdString();
    });

TEST(BadConfigFile, MissingSectionsGiveDefaults)
{
    QTemporaryDir dir;
    ASSERT_TRUE(badfiles::WriteBytes(dir.filePath("config.ini"), "; nothing but a comment\n"));
    const TdatViewer config(dir.path());
    ASSERT_TRUE(config.ConfigValid()) << "a file that lacks keys is accepted";
    // No [Images]: the picture is the program folder itself, which start-up finds missing.
    EXPECT_FALSE(QFileInfo(config.InstrumentImage()).isFile());
    EXPECT_EQ(config.ViewerName(), "ViewQ900");
    EXPECT_EQ(config.Comment(1), "");
    // No [Comms]: the first-start choice, a ring with address Any, which the dialog refuses.
    const TPortChoice choice = portconfig::LoadPortDialog(config);
    EXPECT_EQ(choice.cable, kRing);
    EXPECT_EQ(choice.address, 0);
    EXPECT_FALSE(serialports::RingAllowed(choice.cable, choice.address));
}

// Two files joined, the second with its byte-order mark, after a line that is no setting: the
// mark is invisible in an editor, so the section it begins is read as the editor shows it, and
// a saved change keeps the file saying the same (the junk line, which the parser drops, would
// otherwise have brought the mark to the start of the file, where it means nothing). A mark
// inside a mark joins the bytes around it into another when it is dropped: that one goes too.
TEST(BadConfigFile, ByteOrderMarksInsideTheFileAreNoPartOfTheText)
{
    for (const char* marks : {"\xEF\xBB\xBF", "\xEF\xEF\xBB\xBF\xBB\xBF"}) {
        SCOPED_TRACE(QByteArray(marks).toHex().toStdString());
        QTemporaryDir dir;
        ASSERT_TRUE(badfiles::WriteBytes(dir.filePath("config.ini"),
                                         kImages + "junk line\n" + marks + "[Comms]\nParity=2\n"));
        {
            TdatViewer config(dir.path());
            ASSERT_TRUE(config.ConfigValid());
            EXPECT_EQ(config.Parity(), 2);
            config.SetBaud(3);
            ASSERT_TRUE(config.Save().isEmpty());
        }
        const TdatViewer again(dir.path());
        EXPECT_EQ(again.Parity(), 2);
        EXPECT_EQ(again.Baud(), 3);
        EXPECT_EQ(again.InstrumentImage(), QDir(dir.path()).filePath("Q910.jpg"));
    }
}

// Files the program cannot read whole: refused, and left exactly as they were even when a
// setting changes before the end.
TEST(BadConfigFile, UnreadableFilesAreRefusedAndNeverRewritten)
{
    const QByteArray good = kImages + "[Comms]\nPort=3\n";
    const struct
    {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"ten megabytes of text junk", good + badfiles::TextJunk(10 << 20)},
        {"ten megabytes of junk", badfiles::Junk(10 << 20)},
        // The parser would stop at the NUL and a write-back would drop [Comms].
        {"a NUL in the middle", kImages + QByteArray(1, '\0') + "[Comms]\nPort=3\n"},
        {"saved as UTF-16",
         QByteArray(reinterpret_cast<const char*>(QString::fromLatin1(good).utf16()),
                    good.size() * 2)},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath("config.ini");
        ASSERT_TRUE(badfiles::WriteBytes(file, c.bytes));
        {
            TdatViewer config(dir.path());
            EXPECT_FALSE(config.ConfigValid()) << c.what;
            config.SetPort(9);
            EXPECT_EQ(config.Save(), "") << c.what;
        }
        EXPECT_EQ(Contents(file), c.bytes) << c.what;
    }
}

TEST(BadConfigFile, SparseGigabyteIsRefusedUnread)
{
    QTemporaryDir dir;
    const long before = badfiles::PeakResidentMiB();
    ASSERT_TRUE(badfiles::WriteSparse(dir.filePath("config.ini"), badfiles::kGigabyte, kImages));
    const TdatViewer config(dir.path());
    EXPECT_FALSE(config.ConfigValid());
    EXPECT_LT(badfiles::PeakResidentMiB() - before, 64) << "the file was not read";
}

TEST(BadConfigFile, FolderOrPipeNamedConfigIniIsRefusedWithoutBlocking)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("config.ini"));
    EXPECT_FALSE(TdatViewer(dir.path()).ConfigValid());
    QTemporaryDir other;
    if (!badfiles::MakeFifo(other.filePath("config.ini")))
        GTEST_SKIP() << "no named pipes here";
    EXPECT_FALSE(TdatViewer(other.path()).ConfigValid());
}

#ifdef __linux__

// Runs `body` in a child process as an unprivileged user when the tests run as root, who may
// write anywhere whatever a folder's permissions say; `body`'s exit code.
int RunWithoutPrivileges(const std::function<int()>& body)
{
    if (geteuid() != 0)
        return body();
    const pid_t child = fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

class ReadOnlyProgramFolder : public ::testing::Test
{
protected:
    ReadOnlyProgramFolder()
    {
        m_program = m_root.filePath("program");
        m_configHome = m_root.filePath("home");
        QDir().mkpath(m_program);
        QDir().mkpath(m_configHome);
        EXPECT_TRUE(badfiles::WriteBytes(ConfigFile(), m_installed));
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadOther | QFile::ExeOther;
        QFile::setPermissions(m_root.path(), open);
        QFile::setPermissions(m_program, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                             QFile::ExeOther);
        QFile::setPermissions(ConfigFile(), QFile::ReadOwner | QFile::ReadOther);
        QFile::setPermissions(m_configHome, open | QFile::WriteOther);
        m_oldHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome));
    }
    ~ReadOnlyProgramFolder() override
    {
        qputenv("XDG_CONFIG_HOME", m_oldHome);
        QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    [[nodiscard]] QString ConfigFile() const { return m_program + "/config.ini"; }

    QTemporaryDir m_root;
    QString m_program;
    QString m_configHome;
    QByteArray m_oldHome;
    const QByteArray m_installed = kImages + "[Comms]\nPort=3\nCable=0\n";
};

TEST_F(ReadOnlyProgramFolder, SettingsGoToTheUsersCopy)
{
    const QString program = m_program;
    const int code = RunWithoutPrivileges([&] {
        TdatViewer config(program);
        if (!config.ConfigValid() || !config.UsesUserLayer())
            return 1;
        config.SetPort(7);
        return config.Save().isEmpty() ? 0 : 2;
    });
    ASSERT_EQ(code, 0) << "1: no user layer chosen, 2: the user's copy not written";
    EXPECT_EQ(Contents(ConfigFile()), m_installed) << "the installed file is untouched";
    const QString userFile =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/config.ini";
    EXPECT_TRUE(Contents(userFile).contains("Port=7")) << userFile.toStdString();
}

TEST_F(ReadOnlyProgramFolder, NowhereToWriteIsAMessageNotALoss)
{
    QFile::setPermissions(m_configHome,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const QString program = m_program;
    const int code = RunWithoutPrivileges([&] {
        TdatViewer config(program);
        config.SetPort(7);
        return config.Save().startsWith(QStringLiteral("Cannot ")) ? 0 : 1;
    });
    EXPECT_EQ(code, 0) << "the failed save says why";
    EXPECT_EQ(Contents(ConfigFile()), m_installed);
}

#endif

} // namespace
