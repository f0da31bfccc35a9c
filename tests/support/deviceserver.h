#pragma once

// A serial device server on this machine in front of a pseudo-terminal: socat for a raw TCP
// port (tcp://), ser2net for one with RFC 2217 COM-port control (rfc2217://). It runs in a
// process group of its own, so that killing it takes its forked helpers along, and keeps its
// port across a restart.
#include "eventwait.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

#include <signal.h>
#include <unistd.h>

class TDeviceServer
{
public:
    enum TKind
    {
        Socat,
        Ser2net
    };

    TDeviceServer(TKind kind, QString device) : m_kind(kind), m_device(std::move(device))
    {
        QTcpServer free; // a port nobody listens on: the system's choice
        free.listen(QHostAddress::LocalHost, 0);
        m_port = free.serverPort();
    }
    ~TDeviceServer() { Kill(); }

    // Why the server cannot run here, or empty.
    [[nodiscard]] QString Missing() const
    {
        return Program().isEmpty() ? QStringLiteral("%1 is not installed (scripts/install-deps "
                                                    "installs it)")
                                         .arg(Name())
                                   : QString();
    }
    [[nodiscard]] QString Url() const
    {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(m_kind == Socat ? "tcp" : "rfc2217")
            .arg(m_port);
    }
    [[nodiscard]] quint16 Port() const { return m_port; }

    // Starts the server and waits until it listens; the error text, or empty.
    QString Start()
    {
        m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
        m_process.start(Program(), Arguments());
        if (!m_process.waitForStarted(5000) || !RunUntil([this] { return Listening(); }, 5000))
            return QStringLiteral("%1 does not listen on port %2").arg(Name()).arg(m_port);
        return {};
    }
    // Kills the server and every process it forked, as a crash or a power cut would.
    void Kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(-static_cast<pid_t>(m_process.processId()), SIGKILL);
        m_process.waitForFinished(5000);
    }

private:
    [[nodiscard]] QString Name() const { return m_kind == Socat ? "socat" : "ser2net"; }
    [[nodiscard]] QString Program() const
    {
        return QStandardPaths::findExecutable(
            Name(), {"/usr/local/sbin", "/usr/local/bin", "/usr/sbin", "/usr/bin"});
    }
    // Both pass on what the line gives at once (nodelay, no character delay), as a device
    // server set up for a request-and-reply protocol does; socat's -t0 ends a connection's
    // child as soon as its client has gone, so that none still reads the line afterwards.
    QStringList Arguments()
    {
        if (m_kind == Socat)
            return {
                "-t0",
                QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr,fork,nodelay").arg(m_port),
                QStringLiteral("FILE:%1,raw,echo=0").arg(m_device)};
        QFile yaml(m_dir.filePath("ser2net.yaml"));
        yaml.open(QIODevice::WriteOnly);
        yaml.write(QStringLiteral("connection: &instrument\n"
                                  "  accepter: telnet(rfc2217),tcp(nodelay),127.0.0.1,%1\n"
                                  "  connector: serialdev,%2,9600n81,local\n"
                                  "  options:\n    kickolduser: true\n    chardelay: false\n")
                       .arg(m_port)
                       .arg(m_device)
                       .toUtf8());
        yaml.close();
        return {"-n", "-u", "-c", yaml.fileName(), "-P", m_dir.filePath("ser2net.pid")};
    }
    // Whether a socket listens on the port (state 0A), read from the system's table: looking
    // makes no connection that the server would serve.
    [[nodiscard]] bool Listening() const
    {
        const QByteArray port =
            QStringLiteral(":%1").arg(m_port, 4, 16, QChar(u'0')).toUpper().toLatin1();
        for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            QFile file(QString::fromLatin1(table));
            file.open(QIODevice::ReadOnly);
            for (const QByteArray& line : file.readAll().split('\n')) {
                const QList<QByteArray> fields = line.simplified().split(' ');
                if (fields.size() > 3 && fields.at(1).endsWith(port) && fields.at(3) == "0A")
                    return true;
            }
        }
        return false;
    }

    TKind m_kind;
    QString m_device;
    quint16 m_port = 0;
    QTemporaryDir m_dir;
    QProcess m_process;
};
