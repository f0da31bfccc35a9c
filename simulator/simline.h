#pragma once

#include "comms.h"
#include "siminstrument.h"
#include "trafficlog.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>
#include <random>
#include <vector>

// The serial line in front of one instrument or a ring of them: cuts received bytes into
// requests (plain CR LF lines, or SOH/STX, text, four CRC digits, EOT), hands each to the
// instruments it addresses, frames the replies (CRC form, ring frames DC2 ... DC4 carrying
// the request round the loop with the addressed reply), injects faults and paces every byte
// at the line's baud rate. Output leaves through Transmit, from the event loop.
class TSimLine : public QObject
{
    Q_OBJECT

public:
    struct TOptions
    {
        bool ring = false;
        bool crcReplies = false;
        bool requireCrc = false;       // plain requests get " CRC Required "
        int baud = 0;                  // 0: bytes leave at once
        int delayMs = 0;               // added before every reply
        double dropShare = 0;          // share of replies never sent
        double garbleShare = 0;        // share of replies with one byte changed
        double wrongRegisterShare = 0; // share of replies naming another register
        uint32_t seed = 1;
    };

    explicit TSimLine(const TOptions& options, QObject* parent = nullptr);
    ~TSimLine() override;

    TSimInstrument& AddInstrument(const TSimInstrument::TSettings& settings,
                                  TSimInstrument::Clock clock = {});
    [[nodiscard]] TSimInstrument* Instrument(int address) const;
    [[nodiscard]] const std::vector<std::unique_ptr<TSimInstrument>>& Instruments() const
    {
        return m_instruments;
    }

    void Receive(const QByteArray& bytes);
    // Requests seen on the line, answered or not, for one register or for all.
    [[nodiscard]] int RequestCount(int reg) const;
    [[nodiscard]] int RequestCount() const { return m_requests; }
    // The requests of the traffic log, parsed, in the order they came.
    [[nodiscard]] std::vector<Tcommsobj> ReceivedRequests() const;
    [[nodiscard]] bool OutputPending() const { return !m_queue.empty(); }
    TTrafficLog& Log() { return m_log; }
    [[nodiscard]] const TOptions& Options() const { return m_options; }

signals:
    void Transmit(const QByteArray& bytes);

private:
    void TakeByte(char byte, qint64 arrivalNs);
    void HandleRequest(const QByteArray& text, bool crcForm, qint64 arrivalNs);
    [[nodiscard]] std::vector<TSimInstrument*> Addressed(int address) const;
    QByteArray ReplyFrom(TSimInstrument& instrument, const Tcommsobj& request, bool crcForm);
    [[nodiscard]] QByteArray Encode(const QString& text, bool crcForm) const;
    bool Chance(double share);
    void Garble(QByteArray& bytes);
    void Enqueue(const QByteArray& bytes, qint64 notBeforeNs);
    void Flush();

    TOptions m_options;
    std::vector<std::unique_ptr<TSimInstrument>> m_instruments;
    TTrafficLog m_log;
    std::mt19937 m_random;
    QByteArray m_buffer;
    bool m_crcForm = false;
    std::map<int, int> m_requestCounts;
    int m_requests = 0;
    QElapsedTimer m_clock;
    qint64 m_byteNs = 0;
    qint64 m_rxFreeNs = 0;
    qint64 m_txFreeNs = 0;
    std::deque<std::pair<qint64, char>> m_queue;
    QTimer m_flushTimer;
};
