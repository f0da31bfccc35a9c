#include "simfrontpanel.h"

#include "tools.h"

namespace {

constexpr qint64 kMessageMs = 1000;
constexpr qint64 kSignalViewMs = 5000;
constexpr qint64 kOpticalLinkMs = 30000;
// Fields of the KEYS setting.
constexpr int kZeroField = 0;
constexpr int kTareField = 1;
constexpr int kPrintField = 2;
constexpr int kTareAndGrossNet = 2;

} // namespace

TSimFrontPanel::TSimFrontPanel(const TSimMenu& menu, TWeighingChannel& channel)
    : m_menu(menu), m_channel(channel)
{
}

bool TSimFrontPanel::KeyEnabled(int field) const
{
    return m_menu.BitFieldChoice(TSimMenu::Keys, field) != 0;
}

void TSimFrontPanel::Refuse(qint64 nowMs)
{
    m_display.Flash(QStringLiteral("Error"), nowMs + kMessageMs);
}

void TSimFrontPanel::Press(int key, bool held, const TContext& context)
{
    switch (key) {
    case ZeroKey:
        PressZero(context);
        break;
    case TareKey:
        PressTare(held, context);
        break;
    case GrossNetKey:
        PressGrossNet(held, context);
        break;
    case PrintKey:
        if (KeyEnabled(kPrintField))
            Print(held ? TSimPrinter::Long : TSimPrinter::Short, context);
        break;
    case FunctionKey:
        PressFunction(held, context);
        break;
    default:
        break;
    }
}

void TSimFrontPanel::PressZero(const TContext& context)
{
    if (KeyEnabled(kZeroField) &&
        !m_channel.Zero(context.nowMs, context.setup, *context.calibration))
        Refuse(context.nowMs);
}

void TSimFrontPanel::PressTare(bool held, const TContext& context)
{
    if (!KeyEnabled(kTareField))
        return;
    if (held)
        m_channel.ClearTare();
    else if (!m_channel.Tare(context.nowMs, context.setup, *context.calibration))
        Refuse(context.nowMs);
}

void TSimFrontPanel::PressGrossNet(bool held, const TContext& context)
{
    // Holding Gross/Net wakes the optical link, which the editing bar shows by flashing.
    if (held)
        m_opticalLinkUntil = context.nowMs + kOpticalLinkMs;
    else if (m_menu.BitFieldChoice(TSimMenu::Keys, kTareField) == kTareAndGrossNet)
        m_channel.ToggleNet();
}

void TSimFrontPanel::PressFunction(bool held, const TContext& context)
{
    if (!held) {
        m_highResolution = !m_highResolution;
        return;
    }
    m_display.Flash(tools::FloatToFixed(4, context.reading.signal), context.nowMs + kSignalViewMs);
}

void TSimFrontPanel::Print(TSimPrinter::Format format, const TContext& context)
{
    // A ticket of a swinging load would be worthless; the instrument refuses it.
    if (context.reading.motion) {
        Refuse(context.nowMs);
        return;
    }
    const QString ticket =
        m_printer.Print(format, [&](auto field) { return TicketField(field, context); });
    m_display.Flash(QStringLiteral("Print"), context.nowMs + kMessageMs / 2);
    if (onPrint)
        onPrint(ticket);
}

QString TSimFrontPanel::FieldWeight(int32_t counts) const
{
    return m_menu.WeightText(counts) + u' ' + m_menu.UnitText();
}

QString TSimFrontPanel::TicketField(TSimPrinter::Field field, const TContext& context) const
{
    switch (field) {
    case TSimPrinter::Gross:
        return FieldWeight(context.reading.gross);
    case TSimPrinter::Net:
        return FieldWeight(context.reading.net);
    case TSimPrinter::Tare:
        return FieldWeight(context.reading.tare);
    case TSimPrinter::Date:
        return context.clock.toString(QStringLiteral("dd/MM/yy"));
    case TSimPrinter::Time:
        return context.clock.toString(QStringLiteral("HH:mm"));
    case TSimPrinter::Header:
        return m_menu.TextValue(TSimMenu::PrintHeader);
    case TSimPrinter::Id:
        return m_menu.TextValue(TSimMenu::Id);
    case TSimPrinter::SerialNumber:
        return QString::number(context.serialNumber);
    case TSimPrinter::TicketNumber:
        return QString::number(m_printer.TicketCount());
    }
    return {};
}

TLcdFrame TSimFrontPanel::Render(const TWeighingChannel::TReading& reading, bool sessionOpen,
                                 bool calibrating, qint64 nowMs) const
{
    TSimDisplay::TState state;
    state.reading = reading;
    state.decimals = m_menu.WeightDecimals();
    state.units = m_menu.Number(TSimMenu::Units);
    state.editing = sessionOpen || nowMs < m_opticalLinkUntil;
    state.calibrating = calibrating;
    state.highResolution = m_highResolution;
    return m_display.Render(state, nowMs);
}
