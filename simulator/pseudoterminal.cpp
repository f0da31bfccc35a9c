#include "pseudoterminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString SystemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

TPseudoTerminal::~TPseudoTerminal()
{
    Close();
}

QString TPseudoTerminal::Open(bool raw)
{
    Close();
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return SystemError("Cannot create a pseudo-terminal");
    char name[128] = {};
    if (ptsname_r(m_master, name, sizeof name) != 0)
        return SystemError("Cannot name the pseudo-terminal");
    m_slavePath = QString::fromLocal8Bit(name);
    if (!raw)
        return {};
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    if (m_slave < 0 || tcgetattr(m_slave, &settings) != 0)
        return SystemError("Cannot open the pseudo-terminal");
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    if (tcsetattr(m_slave, TCSANOW, &settings) != 0)
        return SystemError("Cannot set the pseudo-terminal to raw mode");
    return {};
}

void TPseudoTerminal::Close()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}
