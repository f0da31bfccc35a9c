#pragma once

// A serial device server on this machine in front of a pseudo-terminal, as the tests put one
// in front of the simulated instrument: socat for a raw TCP port (tcp://), ser2net for one
// with RFC 2217 COM-port control (rfc2217://). The server runs as a child process in a
// process group of its own, so that killing it takes its forked helpers along, and it keeps
// its port across a restart.
//
//     TDeviceServer server(TDeviceServer::Ser2net, sim.Path());
//     if (!server.Missing().isEmpty()) GTEST_SKIP() << server.Missing().toStdString();
//     ASSERT_EQ(server.Start(), "");
//     choice.portName = server.Url();
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
        if (!QStandardPaths::findExecutable(Program(), SearchPath()).isEmpty())
            return {};
        return QStringLiteral("%1 is not installed (scripts/install-deps installs it)")
            .arg(Program());
    }
    [[nodiscard]] QString Url() const
    {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(m_kind == Socat ? QStringLiteral("tcp") : QStringLiteral("rfc2217"))
            .arg(m_port);
    }
    [[nodiscard]] quint16 Port() const { return m_port; }

    // Starts the server and waits until it listens; the error text, or empty.
    QString Start()
    {
        m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
        m_process.start(QStandardPaths::findExecutable(Program(), SearchPath()), Arguments());
        if (!m_process.waitForStarted(5000))
            return m_process.errorString();
        if (!RunUntil([this] { return Listening(); }, 5000))
            return QStringLiteral("%1 does not listen on port %2: %3")
                .arg(Program())
                .arg(m_port)
                .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
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
    [[nodiscard]] QString Program() const
    {
        return m_kind == Socat ? QStringLiteral("socat") : QStringLiteral("ser2net");
    }
    [[nodiscard]] static QStringList SearchPath()
    {
        return {QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/local/bin"),
                QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")};
    }
    QStringList Arguments()
    {
        // socat: one child per connection; -t0: it ends as soon as its client has gone, so
        // that no ending child still reads the line when the next client has connected. Both
        // servers send what the line gives at once (nodelay; ser2net's chardelay off), as a
        // device server set up for a request-and-reply protocol does.
        if (m_kind == Socat)
            return {QStringLiteral("-t0"),
                    QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr,fork,nodelay").arg(m_port),
                    QStringLiteral("FILE:%1,raw,echo=0").arg(m_device)};
        QFile yaml(m_dir.filePath(QStringLiteral("ser2net.yaml")));
        yaml.open(QIODevice::WriteOnly);
        yaml.write(QStringLiteral("connection: &instrument\n"
                                  "  accepter: telnet(rfc2217),tcp(nodelay),127.0.0.1,%1\n"
                                  "  connector: serialdev,%2,9600n81,local\n"
                                  "  options:\n"
                                  "    kickolduser: true\n"
                                  "    chardelay: false\n")
                       .arg(m_port)
                       .arg(m_device)
                       .toUtf8());
        yaml.close();
        return {QStringLiteral("-n"), QStringLiteral("-u"),
                QStringLiteral("-c"), yaml.fileName(),
                QStringLiteral("-P"), m_dir.filePath(QStringLiteral("ser2net.pid"))};
    }
    // Whether a socket listens on the port: read from the system's table, so that looking
    // makes no connection the server would serve.
    [[nodiscard]] bool Listening() const
    {
        const QByteArray port =
            QStringLiteral(":%1").arg(m_port, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
        for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            QFile file(QString::fromLatin1(table));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& line : file.readAll().split('\n')) {
                const QList<QByteArray> fields = line.simplified().split(' ');
                // local address, remote address, state (0A: listening)
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
