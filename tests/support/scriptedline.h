#pragma once

// A pseudo-terminal whose far end the test drives by hand: the program under test opens
// SlavePath() with QSerialPort; the test sees every line it sends and answers as it likes
// (or not at all), from the event loop.
#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <functional>
#include <memory>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

class ScriptedLine
{
public:
    // Called with each CR LF line received; returns the bytes to send back (may be empty).
    std::function<QByteArray(const QString& line)> answer;
    QStringList received;

    ScriptedLine()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(m_master);
        unlockpt(m_master);
        m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
        // Keep a slave descriptor so the line stays up between opens, as a cable does.
        m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Read(); });
    }
    ~ScriptedLine()
    {
        m_notifier.reset();
        ::close(m_slave);
        ::close(m_master);
    }
    QString SlavePath() const { return m_slavePath; }
    void Send(const QByteArray& bytes)
    {
        (void)!::write(m_master, bytes.constData(), bytes.size());
    }
    // Ends the far side: the program's port sees the line go away.
    void HangUp()
    {
        m_notifier.reset();
        ::close(m_slave);
        ::close(m_master);
        m_slave = m_master = -1;
    }

private:
    void Read()
    {
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        m_pending.append(buffer, n);
        qsizetype lf;
        while ((lf = m_pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromLatin1(m_pending.left(lf)).remove(u'\r');
            m_pending.remove(0, lf + 1);
            received << line;
            if (answer)
                Send(answer(line));
        }
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QByteArray m_pending;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
