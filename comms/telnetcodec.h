#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

// Telnet's framing of one connection (RFC 854, 855): the data with its IAC bytes doubled,
// the options each side asks the other for, answered by the rules of RFC 1143 so that no
// side answers an answer, and subnegotiations handed on whole. Bytes in, the data, the
// answers to send and the subnegotiations out; no socket.
class TTelnetCodec
{
public:
    static constexpr uint8_t kIac = 255;
    static constexpr uint8_t kDont = 254;
    static constexpr uint8_t kDo = 253;
    static constexpr uint8_t kWont = 252;
    static constexpr uint8_t kWill = 251;
    static constexpr uint8_t kSb = 250;
    static constexpr uint8_t kSe = 240;
    // Options.
    static constexpr uint8_t kBinary = 0;
    static constexpr uint8_t kEcho = 1;
    static constexpr uint8_t kSuppressGoAhead = 3;
    static constexpr uint8_t kComPort = 44; // RFC 2217
    // A subnegotiation longer than this is no COM-port message: it is dropped.
    static constexpr int kMaxSubnegotiation = 256;

    struct TSubnegotiation
    {
        uint8_t option = 0;
        QByteArray payload; // unescaped
    };

    // What one piece of the incoming stream held.
    struct TFed
    {
        QByteArray data;   // the data bytes, unescaped
        QByteArray answer; // negotiation answers to send back
        std::vector<TSubnegotiation> subnegotiations;
        bool optionsChanged = false;
    };

    // `local`: the options this side offers to do; `remote`: those it lets the other side do.
    TTelnetCodec(std::vector<uint8_t> local, std::vector<uint8_t> remote);

    // This side's requests at the start: WILL of each local option, DO of each remote one.
    [[nodiscard]] QByteArray Offer();
    [[nodiscard]] TFed Feed(const QByteArray& bytes);
    // Data as it goes out: IAC doubled, and a CR that is no line end followed by NUL unless
    // this side sends in binary.
    [[nodiscard]] QByteArray Encode(const QByteArray& data) const;
    [[nodiscard]] static QByteArray Subnegotiation(uint8_t option, const QByteArray& payload);

    [[nodiscard]] bool LocalOn(uint8_t option) const { return m_local[option] == TState::Yes; }
    [[nodiscard]] bool RemoteOn(uint8_t option) const { return m_remote[option] == TState::Yes; }
    // The other side said no to an option this side offered.
    [[nodiscard]] bool LocalRefused(uint8_t option) const { return m_refused[option]; }

private:
    enum class TState : uint8_t
    {
        No,
        WantYes, // asked for, no answer yet
        Yes
    };
    enum class TRead : uint8_t
    {
        Data,
        Iac,
        Verb,
        SbOption,
        SbData,
        SbIac
    };

    void Negotiate(uint8_t verb, uint8_t option, TFed& fed);
    void EndSubnegotiation(TFed& fed);
    static void Say(QByteArray& out, uint8_t verb, uint8_t option);

    std::array<bool, 256> m_mayLocal{};
    std::array<bool, 256> m_mayRemote{};
    std::array<TState, 256> m_local{};
    std::array<TState, 256> m_remote{};
    std::array<bool, 256> m_refused{};
    TRead m_read = TRead::Data;
    uint8_t m_verb = 0;
    TSubnegotiation m_sub;
    bool m_overlong = false;
    bool m_afterCr = false;
};
