#pragma once

// The Log page on the simulator, for the page's tests: the rig, the chart and the labels by
// name, and what the simulator saw and sent.
#include "eventwait.h"
#include "logchart.h"
#include "logrecovery.h"
#include "logrig.h"
#include "protocol.h"
#include "tools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

// A log reading as the simulator sent it.
struct TSentReading
{
    int32_t weight = 0;
    uint32_t status = 0;
};

class LogPageOnSimulator : public ::testing::Test
{
protected:
    // `addInstruments` may put instruments of its own on the line before it opens.
    void Start(const std::function<void(TSimLine&)>& addInstruments = {})
    {
        options.line.baud = 38400;
        rig = std::make_unique<TLogRig>(
            options, DataFolder(), printPath.isEmpty() ? dir.filePath("printed.pdf") : printPath);
        if (addInstruments)
            addInstruments(rig->sim->Line());
        ASSERT_EQ(rig->Open(), "");
    }

    TLogPage& Page() { return *rig->page; }
    TLogChart& Chart() { return *Child<TLogChart>(rig->page.get(), "Chart"); }
    QString Text(const char* label) { return Child<QLabel>(rig->page.get(), label)->text(); }
    qsizetype Points(int trace = traces::Weight) { return Chart().PointCount(trace); }

    std::vector<Tcommsobj> Messages(TTrafficLog::Direction direction)
    {
        std::vector<Tcommsobj> seen;
        for (const auto& e : rig->sim->Line().Log().Entries()) {
            Tcommsobj message;
            if (e.direction == direction && message.Parse(e.text.trimmed()))
                seen.push_back(message);
        }
        return seen;
    }
    // The first log reading sent for each instrument tick, in order of ticks sent.
    std::vector<std::pair<uint32_t, TSentReading>> SentReadings()
    {
        std::vector<std::pair<uint32_t, TSentReading>> readings;
        for (const Tcommsobj& reply : Messages(TTrafficLog::Sent)) {
            if (reply.Register != protocol::reg::LogSample || reply.Data.size() != 24)
                continue;
            const uint32_t tick = tools::HexToInt(reply.Data.left(8));
            if (!readings.empty() && readings.back().first == tick)
                continue;
            readings.push_back({tick,
                                {int32_t(tools::HexToInt(reply.Data.mid(8, 8))),
                                 tools::HexToInt(reply.Data.mid(16, 8))}});
        }
        return readings;
    }
    static QStringList Lines(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }
    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString DataFolder() const { return dataFolder.isEmpty() ? dir.path() : dataFolder; }
    QString RecoveryPath() const { return QDir(DataFolder()).filePath(TLogRecovery::FileName()); }

    QTemporaryDir dir;
    QString dataFolder; // of the recovery file; empty: `dir`
    QString printPath;  // the file printing goes to; empty: in `dir`
    TSimOptions options;
    QElapsedTimer clock;
    std::unique_ptr<TLogRig> rig;
};
