#include "simline.h"

#include "crc.h"
#include "protocol.h"
#include "tools.h"

#include <algorithm>
#include <cmath>

using namespace protocol;

namespace {

constexpr char SOH = ctl::SOH;
constexpr char STX = ctl::STX;
constexpr char EOT = ctl::EOT;
constexpr char LF = ctl::LF;
constexpr char DC2 = ctl::DC2;
constexpr char DC4 = ctl::DC4;
constexpr qsizetype kLongestMessage = ctl::MaxMessage;
constexpr int kBitsPerByte = 10; // start bit, eight data bits, stop bit

QString Latin(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace

TSimLine::TSimLine(const TOptions& options, QObject* parent)
    : QObject(parent), m_options(options), m_random(options.seed)
{
    m_clock.start();
    if (options.baud > 0)
        m_byteNs = 1'000'000'000LL * kBitsPerByte / options.baud;
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_flushTimer, &QTimer::timeout, this, &TSimLine::Flush);
}

TSimLine::~TSimLine() = default;

TSimInstrument& TSimLine::AddInstrument(const TSimInstrument::TSettings& settings,
                                        TSimInstrument::Clock clock)
{
    m_instruments.push_back(std::make_unique<TSimInstrument>(settings, std::move(clock)));
    TSimInstrument& instrument = *m_instruments.back();
    instrument.SetPrintListener([this](const QString& ticket) {
        m_log.Add(TTrafficLog::Note, QStringLiteral("printed: ") + ticket);
    });
    return instrument;
}

TSimInstrument* TSimLine::Instrument(int address) const
{
    for (const auto& instrument : m_instruments) {
        if (instrument->Address() == address)
            return instrument.get();
    }
    return nullptr;
}

int TSimLine::RequestCount(int reg) const
{
    const auto it = m_requestCounts.find(reg);
    return it == m_requestCounts.end() ? 0 : it->second;
}

std::vector<Tcommsobj> TSimLine::ReceivedRequests() const
{
    std::vector<Tcommsobj> seen;
    for (const auto& e : m_log.Entries()) {
        Tcommsobj request;
        if (e.direction == TTrafficLog::Received && request.Parse(e.text))
            seen.push_back(request);
    }
    return seen;
}

void TSimLine::Receive(const QByteArray& bytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    for (char byte : bytes) {
        // On a real cable each byte takes its time to arrive; the request is complete only
        // when its last byte is in.
        m_rxFreeNs = std::max(now, m_rxFreeNs) + m_byteNs;
        TakeByte(byte, m_byteNs > 0 ? m_rxFreeNs : now);
    }
}

void TSimLine::TakeByte(char byte, qint64 arrivalNs)
{
    switch (byte) {
    case SOH:
    case STX:
        m_buffer.clear();
        m_crcForm = true;
        return;
    case LF:
        if (!m_buffer.isEmpty())
            HandleRequest(m_buffer, false, arrivalNs);
        break;
    case EOT:
        if (m_crcForm && crc::CrcCheck(Latin(m_buffer)) && m_buffer.size() > 4)
            HandleRequest(m_buffer.chopped(4), true, arrivalNs);
        else if (!m_buffer.isEmpty())
            m_log.Add(TTrafficLog::Note, QStringLiteral("ignored, bad CRC: ") + Latin(m_buffer));
        break;
    default:
        if (static_cast<unsigned char>(byte) >= 0x20) {
            m_buffer.append(byte);
            if (m_buffer.size() > kLongestMessage)
                m_buffer.clear();
        }
        return;
    }
    m_buffer.clear();
    m_crcForm = false;
}

std::vector<TSimInstrument*> TSimLine::Addressed(int address) const
{
    std::vector<TSimInstrument*> addressed;
    for (const auto& instrument : m_instruments) {
        // Address Any reaches every instrument; on a ring each of them answers.
        if (address == 0 || instrument->Address() == address)
            addressed.push_back(instrument.get());
        if (!m_options.ring && !addressed.empty())
            break;
    }
    return addressed;
}

void TSimLine::HandleRequest(const QByteArray& text, bool crcForm, qint64 arrivalNs)
{
    m_log.Add(TTrafficLog::Received,
              crcForm ? QStringLiteral("[CRC] ") + Latin(text) : Latin(text));
    Tcommsobj request;
    if (!request.Parse(Latin(text)) || request.ReplyBit)
        return;
    ++m_requests;
    ++m_requestCounts[request.Register];
    QByteArray output;
    for (TSimInstrument* instrument : Addressed(request.Address))
        output += ReplyFrom(*instrument, request, crcForm);
    if (m_options.ring) {
        // The request travels round the loop and comes back ahead of the answers.
        const QByteArray echo = crcForm ? crc::CrcForm(Latin(text)).toLatin1() : text + "\r\n";
        output = DC2 + echo + output + DC4;
    }
    if (output.isEmpty())
        return;
    m_log.Add(TTrafficLog::Sent, Latin(output));
    Enqueue(output, arrivalNs + m_options.delayMs * 1'000'000LL);
}

QByteArray TSimLine::ReplyFrom(TSimInstrument& instrument, const Tcommsobj& request, bool crcForm)
{
    Tcommsobj reply;
    if (m_options.requireCrc && !crcForm) {
        reply = request;
        reply.ReplyBit = true;
        reply.ErrorBit = true;
        reply.Data = tools::HexText(err::CrcRequired, 4);
    } else {
        reply = instrument.Respond(request);
    }
    if (Chance(m_options.dropShare)) {
        m_log.Add(TTrafficLog::Note, QStringLiteral("dropped: ") + reply.Build());
        return {};
    }
    if (Chance(m_options.wrongRegisterShare))
        reply.Register = (reply.Register + 1) & 0xFFFF;
    QByteArray bytes = Encode(reply.Build(), crcForm);
    if (Chance(m_options.garbleShare))
        Garble(bytes);
    return bytes;
}

QByteArray TSimLine::Encode(const QString& text, bool crcForm) const
{
    // The ring's receive path takes lines, so replies on a ring always stay plain.
    const bool crcReply = !m_options.ring && (m_options.crcReplies || crcForm);
    return crcReply ? crc::CrcForm(text).toLatin1() : text.toLatin1() + "\r\n";
}

bool TSimLine::Chance(double share)
{
    if (share <= 0)
        return false;
    return std::uniform_real_distribution<double>(0, 1)(m_random) < share;
}

void TSimLine::Garble(QByteArray& bytes)
{
    const auto at = std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(m_random);
    const char original = bytes[at];
    char replacement = original;
    while (replacement == original)
        replacement = static_cast<char>(std::uniform_int_distribution<int>(0x21, 0x7E)(m_random));
    bytes[at] = replacement;
    m_log.Add(TTrafficLog::Note, QStringLiteral("garbled byte %1").arg(at));
}

void TSimLine::Enqueue(const QByteArray& bytes, qint64 notBeforeNs)
{
    for (char byte : bytes) {
        m_txFreeNs = std::max(notBeforeNs, m_txFreeNs) + m_byteNs;
        m_queue.emplace_back(m_txFreeNs, byte);
    }
    if (!m_flushTimer.isActive())
        m_flushTimer.start(0);
}

void TSimLine::Flush()
{
    const qint64 now = m_clock.nsecsElapsed();
    QByteArray chunk;
    while (!m_queue.empty() && m_queue.front().first <= now) {
        chunk.append(m_queue.front().second);
        m_queue.pop_front();
    }
    if (!chunk.isEmpty())
        emit Transmit(chunk);
    if (!m_queue.empty()) {
        const qint64 waitNs = m_queue.front().first - now;
        m_flushTimer.start(static_cast<int>((waitNs + 999'999) / 1'000'000));
    }
}
