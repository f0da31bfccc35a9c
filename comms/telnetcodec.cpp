#include "telnetcodec.h"

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kNul = '\0';

} // namespace

TTelnetCodec::TTelnetCodec(std::vector<uint8_t> local, std::vector<uint8_t> remote)
{
    for (uint8_t option : local)
        m_mayLocal[option] = true;
    for (uint8_t option : remote)
        m_mayRemote[option] = true;
}

void TTelnetCodec::Say(QByteArray& out, uint8_t verb, uint8_t option)
{
    out += char(kIac);
    out += char(verb);
    out += char(option);
}

QByteArray TTelnetCodec::Offer()
{
    QByteArray out;
    for (int option = 0; option < 256; ++option) {
        if (m_mayLocal[option] && m_local[option] == TState::No) {
            m_local[option] = TState::WantYes;
            Say(out, kWill, uint8_t(option));
        }
        if (m_mayRemote[option] && m_remote[option] == TState::No) {
            m_remote[option] = TState::WantYes;
            Say(out, kDo, uint8_t(option));
        }
    }
    return out;
}

TTelnetCodec::TFed TTelnetCodec::Feed(const QByteArray& bytes)
{
    TFed fed;
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        switch (m_read) {
        case TRead::Data:
            if (byte == kIac) {
                m_read = TRead::Iac;
            } else if (!(m_afterCr && c == kNul && !RemoteOn(kBinary))) {
                fed.data += c; // the NUL after a bare CR of a text stream is not data
            }
            m_afterCr = c == kCr;
            break;
        case TRead::Iac:
            m_read = TRead::Data;
            if (byte == kIac)
                fed.data += c;
            else if (byte >= kWill && byte <= kDont)
                m_read = TRead::Verb;
            else if (byte == kSb)
                m_read = TRead::SbOption;
            m_verb = byte; // other commands (NOP, GA, ...) carry nothing for us
            break;
        case TRead::Verb:
            Negotiate(m_verb, byte, fed);
            m_read = TRead::Data;
            break;
        case TRead::SbOption:
            m_sub = {byte, {}};
            m_overlong = false;
            m_read = TRead::SbData;
            break;
        case TRead::SbData:
        case TRead::SbIac:
            if (m_read == TRead::SbData && byte == kIac) {
                m_read = TRead::SbIac;
                break;
            }
            if (m_read == TRead::SbIac && byte == kSe) {
                EndSubnegotiation(fed);
                m_read = TRead::Data;
                break;
            }
            // IAC IAC is a 255 of the payload; anything else after IAC is taken as it came.
            if (m_sub.payload.size() < kMaxSubnegotiation)
                m_sub.payload += c;
            else
                m_overlong = true;
            m_read = TRead::SbData;
            break;
        }
    }
    return fed;
}

void TTelnetCodec::EndSubnegotiation(TFed& fed)
{
    if (!m_overlong)
        fed.subnegotiations.push_back(m_sub);
    m_sub = {};
}

// RFC 1143 without its queue: a request in the state asked for needs no answer, an answer to
// this side's own request ends the asking, and only a change is ever answered.
void TTelnetCodec::Negotiate(uint8_t verb, uint8_t option, TFed& fed)
{
    const bool remote = verb == kWill || verb == kWont;
    const bool yes = verb == kWill || verb == kDo;
    TState& state = remote ? m_remote[option] : m_local[option];
    const bool may = remote ? m_mayRemote[option] : m_mayLocal[option];
    const uint8_t agree = remote ? kDo : kWill;
    const uint8_t refuse = remote ? kDont : kWont;
    const TState before = state;
    const bool refusedBefore = m_refused[option];
    if (yes && state == TState::No) {
        state = may ? TState::Yes : TState::No;
        Say(fed.answer, may ? agree : refuse, option);
    } else if (yes && state == TState::WantYes) {
        state = TState::Yes;
    } else if (!yes && state == TState::Yes) {
        state = TState::No;
        Say(fed.answer, refuse, option);
    } else if (!yes && state == TState::WantYes) {
        state = TState::No;
        if (!remote)
            m_refused[option] = true;
    }
    fed.optionsChanged =
        fed.optionsChanged || state != before || m_refused[option] != refusedBefore;
}

QByteArray TTelnetCodec::Encode(const QByteArray& data) const
{
    QByteArray out;
    out.reserve(data.size() + 8);
    const bool binary = LocalOn(kBinary);
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        out += c;
        if (static_cast<uint8_t>(c) == kIac)
            out += c;
        else if (c == kCr && !binary && (i + 1 == data.size() || data.at(i + 1) != kLf))
            out += kNul;
    }
    return out;
}

QByteArray TTelnetCodec::Subnegotiation(uint8_t option, const QByteArray& payload)
{
    QByteArray out;
    out += char(kIac);
    out += char(kSb);
    out += char(option);
    for (const char c : payload) {
        out += c;
        if (static_cast<uint8_t>(c) == kIac)
            out += c;
    }
    out += char(kIac);
    out += char(kSe);
    return out;
}
