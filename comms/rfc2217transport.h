#pragma once

#include "serialtransport.h"
#include "tcptransport.h"
#include "telnetdevice.h"

#include <optional>

// A serial device server's port under Telnet with COM-port control (RFC 2217): the line's
// baud rate, data bits, parity and stop bits are set on the server from the port settings
// and the server's answers checked before the port counts as open; its notifications of
// line errors and of flow control are followed for as long as it is open.
class TRfc2217Transport : public TTcpTransport
{
    Q_OBJECT
public:
    // COM-PORT-OPTION commands; the server answers each with the code plus 100.
    enum TCommand : uint8_t
    {
        kSignature = 0,
        kSetBaudRate = 1,
        kSetDataSize = 2,
        kSetParity = 3,
        kSetStopSize = 4,
        kSetControl = 5,
        kNotifyLineState = 6,
        kNotifyModemState = 7,
        kFlowControlSuspend = 8,
        kFlowControlResume = 9,
        kSetLineStateMask = 10,
        kServerOffset = 100
    };

    TRfc2217Transport(TNetworkAddress address, TLineSettings line, QObject* parent = nullptr);

    QIODevice& Device() override { return m_telnet; }
    void Close() override;
    // Line errors (overrun, parity, framing, break) the server reported since opening.
    [[nodiscard]] int LineErrors() const { return m_lineErrors; }

protected:
    void Connected() override;
    QString TimeoutReason() const override;

private:
    void OnOptionsChanged();
    void OnSubnegotiated(uint8_t option, const QByteArray& payload);
    void SendSettings();
    void TakeAnswer(uint8_t command, const QByteArray& value);
    void Notify(uint8_t command, const QByteArray& value);
    [[nodiscard]] QString Mismatch() const;

    TLineSettings m_line;
    TTelnetDevice m_telnet;
    bool m_settingsSent = false;
    // The server's answer to each of baud, data size, parity and stop size, as it set them.
    std::optional<uint32_t> m_answers[4];
    int m_lineErrors = 0;
};
