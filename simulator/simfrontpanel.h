#pragma once

#include "lcdframe.h"
#include "simdisplay.h"
#include "simmenu.h"
#include "simprinter.h"
#include "weighingchannel.h"

#include <QDateTime>
#include <QString>

#include <functional>

// The indicator's front panel: what its keys do (zero, tare, gross/net, print, function,
// each with a held form where one makes sense), the printer they drive, and the LCD.
// Keys: 2 Zero, 3 Tare (held: clear the tare), 4 Gross/Net (held: wake the optical link),
// 5 Print (held: the long-press format), 6 Function (high resolution; held: the signal in
// mV/V for five seconds). The KEYS setting can switch the zero, tare and print keys off.
class TSimFrontPanel
{
public:
    enum Key
    {
        ZeroKey = 2,
        TareKey,
        GrossNetKey,
        PrintKey,
        FunctionKey
    };

    // What a key press needs to know of the instrument at that moment.
    struct TContext
    {
        qint64 nowMs = 0;
        TWeighingChannel::TSetup setup;
        const TSimCalibration* calibration = nullptr;
        TWeighingChannel::TReading reading;
        QDateTime clock;
        uint32_t serialNumber = 0;
    };

    TSimFrontPanel(const TSimMenu& menu, TWeighingChannel& channel);

    void Press(int key, bool held, const TContext& context);
    [[nodiscard]] TLcdFrame Render(const TWeighingChannel::TReading& reading, bool sessionOpen,
                                   bool calibrating, qint64 nowMs) const;
    TSimPrinter& Printer() { return m_printer; }
    [[nodiscard]] const TSimPrinter& Printer() const { return m_printer; }

    // Called with each printed ticket.
    std::function<void(const QString&)> onPrint;

private:
    [[nodiscard]] bool KeyEnabled(int field) const;
    void Refuse(qint64 nowMs);
    void PressZero(const TContext& context);
    void PressTare(bool held, const TContext& context);
    void PressGrossNet(bool held, const TContext& context);
    void PressFunction(bool held, const TContext& context);
    void Print(TSimPrinter::Format format, const TContext& context);
    [[nodiscard]] QString TicketField(TSimPrinter::Field field, const TContext& context) const;
    [[nodiscard]] QString FieldWeight(int32_t counts) const;

    const TSimMenu& m_menu;
    TWeighingChannel& m_channel;
    TSimDisplay m_display;
    TSimPrinter m_printer;
    bool m_highResolution = false;
    qint64 m_opticalLinkUntil = 0;
};
