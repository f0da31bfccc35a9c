#include "consolecommands.h"

#include "simpty.h"
#include "tools.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

TConsoleCommands::TConsoleCommands(TSimPty& simulator, QObject* parent)
    : QObject(parent), m_simulator(simulator)
{
    // Reading a terminal from the background would stop the program; failing is better.
    // The input stays blocking: it may be the shell's own terminal, and the notifier only
    // fires when a read will return at once.
    std::signal(SIGTTIN, SIG_IGN);
    m_notifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TConsoleCommands::ReadInput);
}

void TConsoleCommands::ReadInput()
{
    char buffer[512];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        if (count == 0 || (errno != EAGAIN && errno != EINTR))
            m_notifier->setEnabled(false); // end of input: nothing more will come
        return;
    }
    m_partial.append(buffer, count);
    qsizetype end = 0;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        const QString line = QString::fromLocal8Bit(m_partial.left(end)).trimmed();
        m_partial.remove(0, end + 1);
        if (!line.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(Execute(line)));
    }
}

QString TConsoleCommands::Execute(const QString& line)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    const QString command = words.value(0).toLower();
    bool ok = true;
    if (command == u"load" && words.size() >= 2) {
        const double kilograms = words.at(1).toDouble(&ok);
        const int address = words.value(2, QStringLiteral("0")).toInt();
        if (!ok)
            return QStringLiteral("load needs a weight in kg");
        m_simulator.Instrument(address).PlaceLoad(kilograms);
        return QStringLiteral("load %1 kg").arg(kilograms);
    }
    if (command == u"unload") {
        m_simulator.Instrument(words.value(1, QStringLiteral("0")).toInt()).PlaceLoad(0);
        return QStringLiteral("load 0 kg");
    }
    if (command == u"status") {
        QString text;
        for (const auto& instrument : m_simulator.Line().Instruments()) {
            text += QStringLiteral("address %1: load %2 kg, display %3\n")
                        .arg(instrument->Address())
                        .arg(instrument->Load())
                        .arg(instrument->Display().DigitsText());
        }
        return text.trimmed();
    }
    return QStringLiteral("commands: load KG [ADDRESS], unload [ADDRESS], status");
}
