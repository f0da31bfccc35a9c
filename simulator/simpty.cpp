#include "simpty.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// What the line holds for a client that does not read; beyond it the oldest bytes go.
constexpr qsizetype kMostPending = 64 * 1024;
constexpr int kClientPollMs = 50;

} // namespace

TSimPty::TSimPty(const TSimOptions& options, QObject* parent)
    : QObject(parent), m_options(options), m_line(options.line), m_state(options.stateFile)
{
    m_clientTimer.setInterval(kClientPollMs);
    connect(&m_clientTimer, &QTimer::timeout, this, &TSimPty::CheckForClient);
    connect(&m_line, &TSimLine::Transmit, this, &TSimPty::Send);
}

TSimPty::~TSimPty()
{
    Close();
}

TSimInstrument& TSimPty::Instrument(int address)
{
    if (address == 0 || !m_line.Instrument(address))
        return *m_line.Instruments().front();
    return *m_line.Instrument(address);
}

bool TSimPty::Open(QString* slavePath, QString* error)
{
    QString message;
    if (!m_state.Load(&message) ||
        (!m_options.logFile.isEmpty() && !m_line.Log().OpenFile(m_options.logFile, &message))) {
        if (error)
            *error = message;
        return false;
    }
    if (m_line.Instruments().empty())
        StartInstruments();
    if (!OpenTerminal(&message)) {
        Close();
        if (error)
            *error = message;
        return false;
    }
    if (slavePath)
        *slavePath = m_slavePath;
    return true;
}

void TSimPty::StartInstruments()
{
    for (size_t k = 0; k < m_options.addresses.size(); ++k) {
        TSimInstrument::TSettings settings = m_options.instrument;
        settings.address = m_options.addresses[k];
        settings.serialNumber += static_cast<uint32_t>(k);
        settings.seed += static_cast<uint32_t>(k);
        TSimInstrument& instrument = m_line.AddInstrument(settings);
        if (m_state.IsUsed())
            instrument.LoadState(m_state.Instrument(settings.address));
        const int address = settings.address;
        instrument.onStore = [this, address](const QJsonObject& state) { Stored(address, state); };
    }
}

bool TSimPty::OpenTerminal(QString* error)
{
    *error = m_terminal.Open(true);
    if (!error->isEmpty())
        return false;
    m_master = m_terminal.Master();
    m_slavePath = m_terminal.SlavePath();
    m_readNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
    connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &TSimPty::ReadMaster);
    m_writeNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &TSimPty::WritePending);
    return true;
}

void TSimPty::Close()
{
    m_clientTimer.stop();
    m_readNotifier.reset();
    m_writeNotifier.reset();
    m_terminal.Close();
    m_master = -1;
    m_pending.clear();
}

void TSimPty::ReadMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0) {
            m_line.Receive(QByteArray(buffer, count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EIO) {
            // No slave is open (the simulator's own was closed by someone): wait for one
            // instead of spinning on the notifier.
            m_readNotifier->setEnabled(false);
            m_clientTimer.start();
        }
        return;
    }
}

void TSimPty::CheckForClient()
{
    pollfd fd{m_master, POLLIN, 0};
    if (::poll(&fd, 1, 0) >= 0 && !(fd.revents & POLLHUP)) {
        m_clientTimer.stop();
        m_readNotifier->setEnabled(true);
    }
}

void TSimPty::Send(const QByteArray& bytes)
{
    if (m_master < 0)
        return;
    m_pending += bytes;
    if (m_pending.size() > kMostPending)
        m_pending.remove(0, m_pending.size() - kMostPending);
    WritePending();
}

void TSimPty::WritePending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t written = ::write(m_master, m_pending.constData(), m_pending.size());
        if (written > 0) {
            m_pending.remove(0, written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        // Only a full buffer is worth waiting for; any other failure loses the bytes.
        if (written < 0 && errno != EAGAIN)
            m_pending.clear();
        break;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void TSimPty::Stored(int address, const QJsonObject& state)
{
    QString error;
    if (!m_state.Save(address, state, &error)) {
        qCWarning(lcSim).noquote() << error;
        m_line.Log().Add(TTrafficLog::Note, error);
    }
}
