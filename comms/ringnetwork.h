#pragma once

#include "protocol.h"

#include <QString>

#include <optional>

// Framing of requests for an RS232 ring and selection, out of each frame that comes back
// round the loop, of the one reply meant for this program's instrument.
class TRingNetwork
{
public:
    void SetLocalAddress(int address) { m_localAddress = address & protocol::flag::AddressMask; }
    [[nodiscard]] int LocalAddress() const { return m_localAddress; }
    void SetRingMode(bool on) { m_ringMode = on; }
    [[nodiscard]] bool RingMode() const { return m_ringMode; }

    [[nodiscard]] QString FrameRequest(const QString& text) const;
    // The addressed instrument's reply in a frame, cut before its CR LF; nothing when absent.
    [[nodiscard]] std::optional<QString> ExtractReply(const QString& frame) const;

private:
    int m_localAddress = 0;
    bool m_ringMode = false;
};
