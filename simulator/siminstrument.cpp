#include "siminstrument.h"

#include "protocol.h"
#include "tools.h"

#include <QElapsedTimer>

#include <memory>

using namespace protocol;
using namespace protocol::cmd;
using namespace protocol::err;

namespace {

constexpr qint64 kTickMs = 40;
const double kFilterSeconds[] = {0, 0.1, 0.2, 0.5, 1.0, 2.0, 4.0};
const double kMotionBands[] = {0, 0.5, 1.0, 2.0, 5.0};
const int kCountBy[] = {1, 2, 5, 10, 20, 50, 100};

QString Hex8(int32_t value)
{
    return tools::HexText(static_cast<uint32_t>(value), 8);
}

// The cell's own signals at no load and at 500.0 kg, the factory's capacity.
TSimCalibration FactoryCalibration(const TWeighingChannel& channel)
{
    const double zero = channel.SignalFor(0);
    return TSimCalibration(zero, 5000, channel.SignalFor(500) - zero);
}

TSimInstrument::Clock MonotonicClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

TSimInstrument::TSimInstrument(const TSettings& settings, Clock clock)
    : m_settings(settings), m_clock(clock ? std::move(clock) : MonotonicClock()),
      m_startMs(m_clock()), m_nowMs(m_startMs), m_session(settings.sessionTimeoutMs),
      m_rtc(QDateTime::currentDateTime(), m_startMs), m_channel(settings.cell, settings.seed),
      m_panel(m_menu, m_channel),
      m_calibrator(FactoryCalibration(m_channel), settings.calibrationMs,
                   {settings.calibrationStuck, settings.forcedCalibrationResult})
{
    m_menu.Force(TSimMenu::Address, settings.address);
    m_menu.Force(TSimMenu::SafeCode, settings.safePasscode);
    m_menu.Force(TSimMenu::FullCode, settings.fullPasscode);
    m_channel.PlaceLoad(settings.initialLoadKg, m_startMs - 60000);
}

int TSimInstrument::Address() const
{
    return m_menu.Number(TSimMenu::Address);
}

void TSimInstrument::Update()
{
    m_nowMs = m_clock();
    m_session.Update(m_nowMs);
    const TWeighingChannel::TSetup setup = Setup();
    const auto finished =
        m_calibrator.Update(m_nowMs, m_channel.Signal(m_nowMs), setup.capacity, setup.countBy);
    if (finished)
        CalibrationFinished(*finished);
}

QString TSimInstrument::Respond(const QString& requestText)
{
    Tcommsobj request;
    if (!request.Parse(requestText))
        return {};
    return Respond(request).Build();
}

Tcommsobj TSimInstrument::Respond(const Tcommsobj& request)
{
    Update();
    ++m_requestCounts[request.Register];
    const Handler handler = HandlerFor(request.Register);
    const TAnswer answer = handler ? (this->*handler)(request) : TAnswer{NotImplemented, {}};
    Tcommsobj reply;
    reply.ReplyBit = true;
    reply.RequestBit = request.RequestBit;
    reply.Address = request.Address;
    reply.Command = request.Command;
    reply.Register = request.Register;
    reply.ErrorBit = answer.error != 0;
    reply.Data = answer.error ? tools::HexText(answer.error, 4) : answer.data;
    return reply;
}

TSimInstrument::Handler TSimInstrument::HandlerFor(int reg) const
{
    struct TRange
    {
        int first;
        int last;
        Handler handler;
    };
    static const TRange kRanges[] = {
        {reg::CommsVersion, reg::CommsVersion, &TSimInstrument::Identity},
        {reg::ModelText, reg::SerialNumber, &TSimInstrument::Identity},
        {reg::KeyPress, reg::KeyPress, &TSimInstrument::Key},
        {reg::Display, reg::Display, &TSimInstrument::DisplayImage},
        {reg::StoreSettings, reg::StoreSettings, &TSimInstrument::Store},
        {reg::FullPasscode, reg::SafePasscode, &TSimInstrument::Passcode},
        {reg::CalibrationStatus, reg::CalibrationStatus, &TSimInstrument::CalibrationStatus},
        {reg::WeightText, reg::WeightText, &TSimInstrument::WeightDisplay},
        {reg::ReferenceWeight, reg::ReferenceWeight, &TSimInstrument::ReferenceWeight},
        {reg::LogSample, reg::LogSample, &TSimInstrument::LogSample},
        {reg::LogSetupFirst, reg::LogSetupLast, &TSimInstrument::LogSetup},
        {reg::StoredFullPasscode, reg::StoredSafePasscode, &TSimInstrument::StoredPasscode},
        {reg::SessionControl, reg::SessionControl, &TSimInstrument::SessionControl},
        {reg::CalibrationBlock, reg::CalibrationBlock, &TSimInstrument::CalibrationBlock},
        {reg::CalibrationWeight, reg::CalibrationWeight, &TSimInstrument::CalibrationWeight},
        {reg::ZeroCalibration, reg::LinPointLast, &TSimInstrument::CalibrationAction},
        {reg::ZeroSignal, reg::LinWeightLast, &TSimInstrument::CalibrationValue},
        {reg::PrintFormat1, reg::PrintFormat2, &TSimInstrument::PrintFormat},
        {reg::Clock, reg::Clock, &TSimInstrument::ClockText},
        {TSimClock::Day, TSimClock::Minute, &TSimInstrument::ClockField},
    };
    if (m_menu.Has(reg))
        return &TSimInstrument::MenuItem;
    if (m_settings.noLinearisation && (reg::IsLinPoint(reg) || reg::IsLinWeight(reg)))
        return nullptr;
    for (const TRange& range : kRanges) {
        if (reg >= range.first && reg <= range.last)
            return range.handler;
    }
    return nullptr;
}

TSimInstrument::TAnswer TSimInstrument::Denied() const
{
    return {AccessDenied | (m_session.TimedOut() ? SessionTimedOut : 0u), {}};
}

bool TSimInstrument::CanRead(const QString& access) const
{
    const QChar level = access.size() > 0 ? access.at(0) : QChar();
    return m_session.IsOpen(level == u'S' ? TSimSession::Safe : TSimSession::Full);
}

bool TSimInstrument::CanWrite(const QString& access) const
{
    const QChar level = access.size() > 1 ? access.at(1) : QChar();
    if (level == u'f')
        return false;
    return m_session.IsOpen(level == u'S' ? TSimSession::Safe : TSimSession::Full);
}

TSimInstrument::TAnswer TSimInstrument::Identity(const Tcommsobj& request)
{
    if (request.Command != ReadValue && request.Command != ReadDisplayText)
        return {IllegalOperation, {}};
    switch (request.Register) {
    case reg::CommsVersion:
        return {0, QStringLiteral("V2.10")};
    case reg::ModelText:
        return {0, QStringLiteral("Q900 Q910")};
    case reg::SoftwareVersion:
        return {0, QStringLiteral("2.31")};
    default:
        return {0, Hex8(static_cast<int32_t>(m_settings.serialNumber))};
    }
}

TSimInstrument::TAnswer TSimInstrument::MenuItem(const Tcommsobj& request)
{
    if (const auto fault = m_settings.menuFaults.Answer(request, m_menu))
        return {fault->error, fault->data};
    const int reg = request.Register;
    const int type = m_menu.TypeOf(reg);
    const bool valued = TSimMenu::HasValue(type);
    switch (request.Command) {
    case ReadType:
        return {0, tools::HexText(static_cast<uint32_t>(type), 2)};
    case ReadName:
        return {0, m_menu.Name(reg)};
    case ReadAccess:
        return {0, m_menu.Access(reg)};
    case ReadMinimum:
        return {0, Hex8(m_menu.Minimum(reg))};
    case ReadMaximum:
        return {0, Hex8(m_menu.Maximum(reg))};
    case ReadListEntry: {
        const auto entry = m_menu.Entry(reg, static_cast<int>(request.Value));
        return entry ? TAnswer{0, *entry} : TAnswer{BadParameter, {}};
    }
    case ReadValue:
    case ReadDisplayText:
        if (!valued)
            return {IllegalOperation, {}};
        if (!CanRead(m_menu.Access(reg)))
            return Denied();
        return {0, request.Command == ReadValue ? m_menu.RawValue(reg) : m_menu.DisplayText(reg)};
    case WriteValue:
        return MenuWrite(request);
    case Execute:
        return type == TSimMenu::Action ? Denied() : TAnswer{IllegalOperation, {}};
    default:
        return {IllegalOperation, {}};
    }
}

TSimInstrument::TAnswer TSimInstrument::MenuWrite(const Tcommsobj& request)
{
    const int reg = request.Register;
    if (!TSimMenu::HasValue(m_menu.TypeOf(reg)))
        return {IllegalOperation, {}};
    if (!CanWrite(m_menu.Access(reg)))
        return Denied();
    const uint32_t result = m_menu.Write(reg, request.Data);
    return {result, m_menu.RawValue(reg)};
}

TSimInstrument::TAnswer TSimInstrument::Passcode(const Tcommsobj& request)
{
    const bool full = request.Register == reg::FullPasscode;
    const TSimSession::Level level = full ? TSimSession::Full : TSimSession::Safe;
    if (request.Command == ReadValue)
        return m_session.IsOpen(level) ? TAnswer{0, QStringLiteral("00")} : Denied();
    if (request.Command != WriteValue)
        return {IllegalOperation, {}};
    const int code = m_menu.Number(full ? TSimMenu::FullCode : TSimMenu::SafeCode);
    const bool right =
        !request.Data.isEmpty() && tools::HexToInt(request.Data) == static_cast<uint32_t>(code);
    m_session.Enter(level, right, m_nowMs);
    return right ? TAnswer{0, request.Data} : TAnswer{AccessDenied, {}};
}

TSimInstrument::TAnswer TSimInstrument::StoredPasscode(const Tcommsobj& request)
{
    if (request.Command != ReadValue)
        return {IllegalOperation, {}};
    const bool full = request.Register == reg::StoredFullPasscode;
    if (!m_session.IsOpen(full ? TSimSession::Full : TSimSession::Safe))
        return Denied();
    const int code = m_menu.Number(full ? TSimMenu::FullCode : TSimMenu::SafeCode);
    return {0, tools::HexText(static_cast<uint32_t>(code))};
}

TSimInstrument::TAnswer TSimInstrument::SessionControl(const Tcommsobj& request)
{
    if (request.Command != WriteValue)
        return {IllegalOperation, {}};
    const QString value = request.Data.trimmed().toUpper();
    if (value == QLatin1String(data::KeepAlive)) {
        return m_session.KeepAlive(m_nowMs) ? TAnswer{0, request.Data}
                                            : TAnswer{SessionTimedOut, {}};
    }
    if (tools::HexToInt(value) != tools::HexToInt(QLatin1String(data::EndSession)))
        return {IllegalValue, {}};
    m_session.End();
    return {0, request.Data};
}

TSimInstrument::TAnswer TSimInstrument::Store(const Tcommsobj& request)
{
    if (request.Command != Execute)
        return {IllegalOperation, {}};
    if (m_settings.storeFails)
        return {protocol::err::SaveFailed, {}};
    // Storing restarts the instrument's setup: both levels need their passcodes again.
    m_session.LockAll();
    if (onStore)
        onStore(SaveState());
    return {0, QStringLiteral("00")};
}

TWeighingChannel::TSetup TSimInstrument::Setup() const
{
    TWeighingChannel::TSetup setup;
    setup.capacity = m_menu.Number(TSimMenu::Capacity);
    setup.countBy = kCountBy[m_menu.Number(TSimMenu::CountBy)];
    setup.motionBand = kMotionBands[m_menu.Number(TSimMenu::MotionBand)];
    setup.zeroRangePercent = m_menu.Number(TSimMenu::ZeroRange) == 0 ? 2 : 20;
    setup.zeroBand = m_menu.Number(TSimMenu::ZeroBand);
    setup.filterSeconds = kFilterSeconds[m_menu.Number(TSimMenu::Filter)];
    const int base[] = {TSimMenu::Sp1Type, TSimMenu::Sp2Type};
    for (int k = 0; k < 2; ++k) {
        setup.setpoints[k].type = m_menu.Number(base[k]);
        setup.setpoints[k].target = m_menu.Number(base[k] + 1);
        setup.setpoints[k].hysteresis = m_menu.Number(base[k] + 2);
        setup.setpoints[k].activeLow = m_menu.Number(base[k] + 3) == 1;
    }
    return setup;
}

TWeighingChannel::TReading TSimInstrument::Reading()
{
    Update();
    return m_channel.Read(m_nowMs, Setup(), m_calibrator.Values());
}

void TSimInstrument::PlaceLoad(double kilograms)
{
    Update();
    m_channel.PlaceLoad(kilograms, m_nowMs);
}

TLcdFrame TSimInstrument::Display()
{
    const TWeighingChannel::TReading reading = Reading();
    return m_panel.Render(reading, m_session.AnyOpen(), m_calibrator.Busy(), m_nowMs);
}

TSimInstrument::TAnswer TSimInstrument::DisplayImage(const Tcommsobj& request)
{
    if (request.Command != ReadValue)
        return {IllegalOperation, {}};
    return {0, Display().RegisterData()};
}

QString TSimInstrument::WeightText(const TWeighingChannel::TReading& reading) const
{
    // Units in the fourth- and third-last places, then the gross or net mark.
    const QString units = m_menu.UnitText().leftJustified(2, u' ', true);
    const QChar mode = reading.netMode ? u'N' : u'G';
    return m_menu.WeightText(reading.shown) + u' ' + units + u' ' + mode;
}

TSimInstrument::TAnswer TSimInstrument::WeightDisplay(const Tcommsobj& request)
{
    if (request.Command != ReadDisplayText && request.Command != ReadValue)
        return {IllegalOperation, {}};
    return {0, WeightText(Reading())};
}

TSimInstrument::TAnswer TSimInstrument::ReferenceWeight(const Tcommsobj& request)
{
    if (request.Command == ReadValue)
        return {0, m_menu.RawValue(TSimMenu::Capacity)};
    if (request.Command == ReadDisplayText)
        return {0, m_menu.DisplayText(TSimMenu::Capacity)};
    return {IllegalOperation, {}};
}

TSimInstrument::TAnswer TSimInstrument::LogSample(const Tcommsobj& request)
{
    if (request.Command != ReadValue)
        return {IllegalOperation, {}};
    const TWeighingChannel::TReading reading = Reading();
    const auto tick = static_cast<int32_t>((m_nowMs - m_startMs) / kTickMs);
    const auto status = static_cast<int32_t>(reading.StatusBits());
    return {0, Hex8(tick) + Hex8(reading.shown) + Hex8(status)};
}

TSimInstrument::TAnswer TSimInstrument::LogSetup(const Tcommsobj& request)
{
    if (request.Command == ReadValue)
        return {0, m_logSetup[request.Register]};
    if (request.Command != WriteValue)
        return {IllegalOperation, {}};
    if (request.Data.isEmpty() || tools::HexToInt(request.Data) > 0xFF)
        return {IllegalValue, {}};
    m_logSetup[request.Register] = request.Data;
    return {0, request.Data};
}

int TSimInstrument::RequestCount(int reg) const
{
    const auto it = m_requestCounts.find(reg);
    return it == m_requestCounts.end() ? 0 : it->second;
}

bool TSimInstrument::IsOpen(TSimSession::Level level)
{
    Update();
    return m_session.IsOpen(level);
}

TSimInstrument::TAnswer TSimInstrument::Key(const Tcommsobj& request)
{
    if (request.Command != WriteValue)
        return {IllegalOperation, {}};
    const uint32_t value = tools::HexToInt(request.Data);
    const int key = static_cast<int>(value & 0x0F);
    const uint32_t held = data::KeyHeldPress & ~data::KeyShortPress;
    if ((value & ~(held | 0x0F)) != data::KeyShortPress || key < TSimFrontPanel::ZeroKey ||
        key > TSimFrontPanel::FunctionKey)
        return {IllegalValue, {}};
    PressKey(key, value & held);
    return {0, request.Data};
}

void TSimInstrument::PressKey(int key, bool held)
{
    Update();
    if (m_calibrator.Busy())
        return;
    TSimFrontPanel::TContext context;
    context.nowMs = m_nowMs;
    context.setup = Setup();
    context.calibration = &m_calibrator.Values();
    context.reading = Reading();
    context.clock = m_rtc.Now(m_nowMs);
    context.serialNumber = m_settings.serialNumber;
    m_panel.Press(key, held, context);
}

TSimInstrument::TAnswer TSimInstrument::CalibrationStatus(const Tcommsobj& request)
{
    if (request.Command != ReadValue)
        return {IllegalOperation, {}};
    return {0, Hex8(static_cast<int32_t>(m_calibrator.Status()))};
}

TSimInstrument::TAnswer TSimInstrument::CalibrationBlock(const Tcommsobj& request)
{
    if (!m_session.IsOpen(TSimSession::Full))
        return Denied();
    if (request.Command == ReadValue)
        return {0, m_calibrator.Values().Block()};
    if (request.Command != WriteValue)
        return {IllegalOperation, {}};
    if (m_calibrator.Busy() || !m_calibrator.SetBlock(request.Data.trimmed()))
        return {IllegalValue, {}};
    return {0, m_calibrator.Values().Block()};
}

TSimInstrument::TAnswer TSimInstrument::CalibrationWeight(const Tcommsobj& request)
{
    if (request.Command == ReadValue)
        return {0, Hex8(m_calibrator.Weight())};
    if (request.Command != WriteValue)
        return {IllegalOperation, {}};
    if (!m_session.IsOpen(TSimSession::Full))
        return Denied();
    if (request.Data.trimmed().isEmpty())
        return {IllegalValue, {}};
    m_calibrator.SetWeight(static_cast<int32_t>(tools::HexToInt(request.Data)));
    return {0, request.Data};
}

TSimInstrument::TAnswer TSimInstrument::CalibrationAction(const Tcommsobj& request)
{
    if (request.Command != Execute)
        return {IllegalOperation, {}};
    if (!m_session.IsOpen(TSimSession::Full))
        return Denied();
    if (m_calibrator.Busy())
        return {IllegalOperation, {}};
    const int reg = request.Register;
    const bool direct = !request.Data.trimmed().isEmpty() && reg <= TSimCalibrator::Span;
    if (!direct) {
        m_calibrator.Start(reg, m_nowMs);
        return {0, QStringLiteral("00")};
    }
    const auto value = static_cast<int32_t>(tools::HexToInt(request.Data));
    const TWeighingChannel::TSetup setup = Setup();
    const int code = m_calibrator.Direct(reg, value, setup.capacity, setup.countBy);
    if (code == 0)
        CalibrationFinished({reg, code});
    return {0, tools::HexText(static_cast<uint32_t>(code), 2)};
}

void TSimInstrument::CalibrationFinished(const TSimCalibrator::TFinished& finished)
{
    if (finished.code != 0)
        return;
    m_menu.Force(TSimMenu::CalCount, (m_menu.Number(TSimMenu::CalCount) + 1) & 0xFFFF);
    // A new zero replaces whatever the zero key had taken off.
    if (finished.reg == TSimCalibrator::Zero)
        m_channel.SetZeroOffset(0);
}

TSimInstrument::TAnswer TSimInstrument::CalibrationValue(const Tcommsobj& request)
{
    if (request.Command != ReadValue)
        return {IllegalOperation, {}};
    const TSimCalibration& values = m_calibrator.Values();
    switch (request.Register) {
    case reg::ZeroSignal:
        return {0, Hex8(values.ZeroRegister())};
    case reg::SpanWeight:
        return {0, Hex8(values.SpanWeight())};
    case reg::SpanSignal:
        return {0, Hex8(values.SpanRegister())};
    default:
        return {0, Hex8(values.PointWeight(request.Register - reg::LinWeightFirst))};
    }
}

TSimInstrument::TAnswer TSimInstrument::PrintFormat(const Tcommsobj& request)
{
    const auto format = static_cast<TSimPrinter::Format>(request.Register);
    switch (request.Command) {
    case ReadMaximum:
        return {0, Hex8(TSimPrinter::Limit(format))};
    case ReadValue:
        return {0, m_panel.Printer().Read(format)};
    case WriteValue:
        if (!m_session.IsOpen(TSimSession::Full))
            return Denied();
        return {m_panel.Printer().Write(format, request.Data.trimmed()),
                m_panel.Printer().Read(format)};
    default:
        return {IllegalOperation, {}};
    }
}

TSimInstrument::TAnswer TSimInstrument::ClockText(const Tcommsobj& request)
{
    if (request.Command != ReadValue && request.Command != ReadDisplayText)
        return {IllegalOperation, {}};
    return {0, m_rtc.Text(m_nowMs, m_menu.Number(TSimMenu::DateFormat))};
}

TSimInstrument::TAnswer TSimInstrument::ClockField(const Tcommsobj& request)
{
    const auto field = static_cast<TSimClock::Field>(request.Register);
    if (request.Command == ReadValue) {
        const QDateTime now = m_rtc.Now(m_nowMs);
        const int values[] = {now.date().day(), now.date().month(), now.date().year(),
                              now.time().hour(), now.time().minute()};
        return {0, tools::HexText(static_cast<uint32_t>(values[field - TSimClock::Day]))};
    }
    if (request.Command != WriteValue)
        return {IllegalOperation, {}};
    if (!m_session.IsOpen(TSimSession::Safe))
        return Denied();
    if (request.Data.trimmed().isEmpty())
        return {IllegalValue, {}};
    const auto value = static_cast<int>(tools::HexToInt(request.Data));
    return {m_rtc.Set(field, value, m_nowMs), request.Data};
}

QJsonObject TSimInstrument::SaveState() const
{
    QJsonObject state;
    state.insert(QStringLiteral("menu"), m_menu.Save());
    state.insert(QStringLiteral("calibration"), m_calibrator.Values().Block());
    state.insert(QStringLiteral("printShort"), m_panel.Printer().Read(TSimPrinter::Short));
    state.insert(QStringLiteral("printLong"), m_panel.Printer().Read(TSimPrinter::Long));
    state.insert(QStringLiteral("clockOffsetMs"), double(m_rtc.OffsetFromHostMs(m_nowMs)));
    return state;
}

void TSimInstrument::LoadState(const QJsonObject& state)
{
    Update();
    m_menu.Load(state.value(QStringLiteral("menu")).toObject());
    // The address is the one the instrument was started with, whatever it had before.
    m_menu.Force(TSimMenu::Address, m_settings.address);
    m_calibrator.SetBlock(state.value(QStringLiteral("calibration")).toString());
    TSimPrinter& printer = m_panel.Printer();
    printer.Write(TSimPrinter::Short, state.value(QStringLiteral("printShort")).toString());
    printer.Write(TSimPrinter::Long, state.value(QStringLiteral("printLong")).toString());
    const QJsonValue offset = state.value(QStringLiteral("clockOffsetMs"));
    if (offset.isDouble())
        m_rtc.SetOffsetFromHostMs(static_cast<qint64>(offset.toDouble()), m_nowMs);
}

void TSimInstrument::SetPrintListener(std::function<void(const QString&)> listener)
{
    m_panel.onPrint = std::move(listener);
}
