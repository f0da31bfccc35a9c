#pragma once

// A pseudo-terminal whose far end the test drives by hand: the program under test opens
// SlavePath() with QSerialPort; the test sees every line it sends and answers as it likes
// (or not at all), from the event loop.
#include "pseudoterminal.h"

#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <unistd.h>

class ScriptedLine
{
public:
    // Called with each CR LF line received; returns the bytes to send back (may be empty).
    std::function<QByteArray(const QString& line)> answer;
    QStringList received;

    ScriptedLine()
    {
        const QString error = m_terminal.Open(true);
        Q_ASSERT_X(error.isEmpty(), "ScriptedLine", qPrintable(error));
        m_master = m_terminal.Master();
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Read(); });
    }
    ~ScriptedLine() { m_notifier.reset(); }
    QString SlavePath() const { return m_terminal.SlavePath(); }
    void Send(const QByteArray& bytes)
    {
        (void)!::write(m_master, bytes.constData(), bytes.size());
    }
    // Ends the far side: the program's port sees the line go away.
    void HangUp()
    {
        m_notifier.reset();
        m_terminal.Close();
        m_master = -1;
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

    TPseudoTerminal m_terminal;
    int m_master = -1;
    QByteArray m_pending;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
