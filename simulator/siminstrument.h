#pragma once

#include "comms.h"
#include "lcdframe.h"
#include "simcalibrator.h"
#include "simclock.h"
#include "simfrontpanel.h"
#include "simmenu.h"
#include "simmenufaults.h"
#include "simsession.h"
#include "weighingchannel.h"

#include <QJsonObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>

// One simulated Q900 indicator: answers register-protocol requests as the instrument does
// (identity, menu tree, passcodes and session, store, keys, display, live weight and log
// samples, calibration, clock and print formats). It knows nothing of framing or of the
// line; TSimLine decides which requests reach it. Time comes from a millisecond clock that
// tests may replace, so time-outs and settling can be stepped through without waiting.
class TSimInstrument
{
public:
    struct TSettings
    {
        int address = 1;
        uint32_t serialNumber = 93123401;
        int safePasscode = 1111;
        int fullPasscode = 2222;
        qint64 sessionTimeoutMs = 30000;
        qint64 calibrationMs = 1500;
        bool calibrationStuck = false;    // fault: never leaves the busy state
        int forcedCalibrationResult = -1; // fault: every calibration ends with this code
        bool noLinearisation = false;     // fault: no linearisation points (0x0104.., 0x0114..)
        bool storeFails = false;          // fault: a store answers Save Settings Failed
        TSimMenuFaults menuFaults;        // fault: menus that answer the tree reader wrongly
        TWeighingChannel::TCell cell;
        double initialLoadKg = 0;
        uint32_t seed = 1;
    };
    using Clock = std::function<qint64()>;

    explicit TSimInstrument(const TSettings& settings, Clock clock = {});

    // The reply to one request: same command and register, ReplyBit set, the request's
    // address and RequestBit, and either the value or, with ErrorBit, the error bits.
    Tcommsobj Respond(const Tcommsobj& request);
    // The same for a request text; empty when the text is not a message.
    QString Respond(const QString& requestText);

    [[nodiscard]] int Address() const;
    void PlaceLoad(double kilograms);
    [[nodiscard]] double Load() const { return m_channel.Load(); }
    TWeighingChannel::TReading Reading();
    TLcdFrame Display();
    // The same effect as a key press written to register 0x0008.
    void PressKey(int key, bool held);
    [[nodiscard]] const QStringList& Tickets() const { return m_panel.Printer().Tickets(); }
    [[nodiscard]] bool IsOpen(TSimSession::Level level);
    // Fault from here on: a store answers Save Settings Failed and stores nothing.
    void FailStores(bool on) { m_settings.storeFails = on; }
    [[nodiscard]] const TSimMenu& Menu() const { return m_menu; }
    [[nodiscard]] int RequestCount(int reg) const;

    [[nodiscard]] QJsonObject SaveState() const;
    void LoadState(const QJsonObject& state);
    // Called with the saved state after every store (register 0x0010).
    std::function<void(const QJsonObject&)> onStore;
    // Called with each printed ticket.
    void SetPrintListener(std::function<void(const QString&)> listener);

private:
    struct TAnswer
    {
        uint32_t error = 0;
        QString data;
    };
    using Handler = TAnswer (TSimInstrument::*)(const Tcommsobj&);

    [[nodiscard]] Handler HandlerFor(int reg) const;
    void Update();
    [[nodiscard]] TAnswer Denied() const;
    [[nodiscard]] bool CanRead(const QString& access) const;
    [[nodiscard]] bool CanWrite(const QString& access) const;
    [[nodiscard]] TWeighingChannel::TSetup Setup() const;
    [[nodiscard]] QString WeightText(const TWeighingChannel::TReading& reading) const;

    TAnswer Identity(const Tcommsobj& request);
    TAnswer Key(const Tcommsobj& request);
    TAnswer DisplayImage(const Tcommsobj& request);
    TAnswer Store(const Tcommsobj& request);
    TAnswer MenuItem(const Tcommsobj& request);
    TAnswer MenuWrite(const Tcommsobj& request);
    TAnswer Passcode(const Tcommsobj& request);
    TAnswer StoredPasscode(const Tcommsobj& request);
    TAnswer SessionControl(const Tcommsobj& request);
    TAnswer WeightDisplay(const Tcommsobj& request);
    TAnswer ReferenceWeight(const Tcommsobj& request);
    TAnswer LogSample(const Tcommsobj& request);
    TAnswer LogSetup(const Tcommsobj& request);
    TAnswer CalibrationStatus(const Tcommsobj& request);
    TAnswer CalibrationBlock(const Tcommsobj& request);
    TAnswer CalibrationWeight(const Tcommsobj& request);
    TAnswer CalibrationAction(const Tcommsobj& request);
    TAnswer CalibrationValue(const Tcommsobj& request);
    TAnswer PrintFormat(const Tcommsobj& request);
    TAnswer ClockText(const Tcommsobj& request);
    TAnswer ClockField(const Tcommsobj& request);

    void CalibrationFinished(const TSimCalibrator::TFinished& finished);

    TSettings m_settings;
    Clock m_clock;
    qint64 m_startMs;
    qint64 m_nowMs = 0;
    TSimMenu m_menu;
    TSimSession m_session;
    TSimClock m_rtc;
    TWeighingChannel m_channel;
    TSimFrontPanel m_panel;
    TSimCalibrator m_calibrator;
    std::map<int, QString> m_logSetup;
    std::map<int, int> m_requestCounts;
};
