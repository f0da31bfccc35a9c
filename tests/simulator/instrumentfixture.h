#pragma once

#include "comms.h"
#include "siminstrument.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// An instrument on a clock the test moves by hand, with a noiseless cell so that readings
// are exact; requests go in as text and come back as parsed replies.
class InstrumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings.cell.noiseDivisions = 0;
        settings.sessionTimeoutMs = 10000;
        settings.calibrationMs = 1500;
        Start();
    }

    void Start()
    {
        sim = std::make_unique<TSimInstrument>(settings, [this] { return now; });
    }

    Tcommsobj Ask(const QString& request)
    {
        Tcommsobj reply;
        EXPECT_TRUE(reply.Parse(sim->Respond(request))) << request.toStdString();
        return reply;
    }
    QString Data(const QString& request) { return Ask(request).Data; }
    uint32_t Error(const QString& request)
    {
        const Tcommsobj reply = Ask(request);
        return reply.ErrorBit ? reply.Value : 0;
    }
    void Wait(qint64 ms) { now += ms; }
    void Settle(double kilograms)
    {
        sim->PlaceLoad(kilograms);
        Wait(5000);
    }
    void OpenSafe() { ASSERT_EQ(Error("2012001A:457"), 0u); }
    void OpenFull() { ASSERT_EQ(Error("20120019:8AE"), 0u); }

    qint64 now = 100000;
    TSimInstrument::TSettings settings;
    std::unique_ptr<TSimInstrument> sim;
};
