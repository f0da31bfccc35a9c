#include "signalexit.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int gPipe[2] = {-1, -1};

void OnSignal(int number)
{
    const auto byte = static_cast<char>(number);
    // Nothing can be done about a full pipe inside a handler; one byte is enough anyway.
    [[maybe_unused]] const ssize_t ignored = ::write(gPipe[1], &byte, 1);
}

} // namespace

TSignalExit::TSignalExit(QObject* parent) : QObject(parent)
{
    if (gPipe[0] >= 0 || ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TSignalExit::Drain);
    struct sigaction action
    {
    };
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TSignalExit::~TSignalExit()
{
    if (!m_notifier)
        return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    m_notifier.reset();
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

void TSignalExit::Drain()
{
    char byte = 0;
    int last = 0;
    while (::read(gPipe[0], &byte, 1) == 1)
        last = static_cast<unsigned char>(byte);
    if (last != 0)
        emit Received(last);
}
