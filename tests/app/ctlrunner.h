#pragma once

// q900ctl as a script runs it: the built program as a child process, while the test's event
// loop goes on serving an in-process simulated instrument.
#include "eventwait.h"
#include "simpty.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

inline QString CtlProgram()
{
    return QDir(QStringLiteral(VIEWER_BIN_DIR)).filePath(QStringLiteral("q900ctl"));
}

struct CtlResult
{
    int exitCode = -1;
    QString out;
    QString err;

    [[nodiscard]] QJsonObject Json() const
    {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
        return document.object();
    }
};

// Starts the tool with Q900_PASSCODE unset unless `environment` sets it ("NAME=value").
inline void StartCtl(QProcess& process, const QStringList& arguments,
                     const QStringList& environment = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("Q900_PASSCODE"));
    for (const QString& entry : environment)
        env.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(env);
    process.start(CtlProgram(), arguments);
    EXPECT_TRUE(process.waitForStarted(5000));
}

inline CtlResult FinishCtl(QProcess& process, int timeoutMs = 60000)
{
    const bool ended = RunUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    EXPECT_TRUE(ended) << "q900ctl did not end";
    if (!ended) {
        process.kill();
        process.waitForFinished(3000);
    }
    CtlResult result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

inline CtlResult RunCtl(const QStringList& arguments, const QStringList& environment = {},
                        int timeoutMs = 60000)
{
    QProcess process;
    StartCtl(process, arguments, environment);
    return FinishCtl(process, timeoutMs);
}

// The simulated instrument (or ring) the tool talks to, served by the test's event loop.
class CtlOnSimulator : public ::testing::Test
{
protected:
    // Without noise a settled weight reads the same every time.
    CtlOnSimulator() { options.instrument.cell.noiseDivisions = 0; }

    void Start()
    {
        sim = std::make_unique<TSimPty>(options);
        QString error;
        ASSERT_TRUE(sim->Open(&path, &error)) << error.toStdString();
    }
    // The connection options for one instrument on a plain cable.
    [[nodiscard]] QStringList Link(int address = 1) const
    {
        return {QStringLiteral("--port"),    path,
                QStringLiteral("--cable"),   QStringLiteral("rs232"),
                QStringLiteral("--address"), QString::number(address)};
    }
    [[nodiscard]] QStringList RingLink(int address) const
    {
        return {QStringLiteral("--port"),    path,
                QStringLiteral("--cable"),   QStringLiteral("ring"),
                QStringLiteral("--address"), QString::number(address)};
    }
    // Requests the instruments received since the log was last cleared.
    [[nodiscard]] int Requests() { return static_cast<int>(Received().size()); }
    [[nodiscard]] int Writes(int reg)
    {
        int n = 0;
        for (const Tcommsobj& r : Received())
            n += r.Command == protocol::cmd::WriteValue && r.Register == reg;
        return n;
    }
    [[nodiscard]] std::vector<Tcommsobj> Received() { return sim->Line().ReceivedRequests(); }

    TSimOptions options;
    std::unique_ptr<TSimPty> sim;
    QString path;
};
