// The viewer program itself, run as a child process from a program folder of its own.
#include "eventwait.h"
#include "scriptedline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// A copy of the built program folder, so the run may write its config.ini freely. The
// config.ini is the one the program ships with: the built folder's keeps what a developer's
// own runs left in it (the last page, recent files), and the run would start elsewhere.
class ProgramCopy
{
public:
    ProgramCopy()
    {
        const QDir bin(QStringLiteral(VIEWER_BIN_DIR));
        for (const char* name : {"viewer", "Q910.jpg", "Q910LCD.zmp"})
            QFile::copy(bin.filePath(name), m_dir.filePath(name));
        QFile::copy(QStringLiteral(VIEWER_SOURCE_DIR "/resources/data/config.ini"),
                    m_dir.filePath("config.ini"));
        QDir(m_dir.path()).mkdir("segs");
        for (const QString& name : QDir(bin.filePath("segs")).entryList(QDir::Files))
            QFile::copy(bin.filePath("segs/" + name), m_dir.filePath("segs/" + name));
    }
    QString Program() const { return m_dir.filePath("viewer"); }

private:
    QTemporaryDir m_dir;
};

} // namespace

struct TSignalCase
{
    const char* name;
    const char* awaited; // the line sent before the signal comes; "": any
};

inline void PrintTo(const TSignalCase& c, std::ostream* out)
{
    *out << c.name;
}

class ViewerProgram : public ::testing::TestWithParam<TSignalCase>
{
};

// A signal ends the program as it would later: while the start-up connection still waits for
// the instrument (before the main loop runs), and while its "Instrument not responding" box is
// up (the display is polled once the identity read has given up), the box closed with it.
TEST_P(ViewerProgram, TerminationEndsIt)
{
    ProgramCopy copy;
    ScriptedLine line; // an instrument that never answers
    QProcess viewer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    viewer.setProcessEnvironment(env);
    viewer.start(copy.Program(),
                 {"--port", line.SlavePath(), "--cable", "rs232", "--address", "1"});
    ASSERT_TRUE(viewer.waitForStarted(5000));
    const QString awaited = QString::fromLatin1(GetParam().awaited);
    ASSERT_TRUE(RunUntil(
        [&] {
            return awaited.isEmpty() ? !line.received.isEmpty() : line.received.contains(awaited);
        },
        8000));
    ::kill(static_cast<pid_t>(viewer.processId()), SIGTERM);
    EXPECT_TRUE(RunUntil([&] { return viewer.state() == QProcess::NotRunning; }, 3000));
    EXPECT_EQ(viewer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(viewer.exitCode(), 0);
    if (viewer.state() != QProcess::NotRunning) {
        viewer.kill();
        viewer.waitForFinished(2000);
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, ViewerProgram,
                         testing::Values(TSignalCase{"DuringTheStartUpConnection", ""},
                                         TSignalCase{"WhileAMessageBoxIsUp", "21110009:"}),
                         [](const auto& info) { return std::string(info.param.name); });
