// q900sim: a simulated Q900 indicator (or a ring of them) on a pseudo-terminal.
#include "consolecommands.h"
#include "signalexit.h"
#include "simcommandline.h"
#include "simpty.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {

// An old link left by an earlier run is replaced; anything else at the path is kept.
bool MakeLink(const QString& target, const QString& link, QString* error)
{
    const QFileInfo existing(link);
    if (existing.isSymLink())
        QFile::remove(link);
    else if (existing.exists()) {
        *error = QStringLiteral("%1 exists and is not a link").arg(link);
        return false;
    }
    if (!QFile::link(target, link)) {
        *error = QStringLiteral("Cannot make the link %1").arg(link);
        return false;
    }
    return true;
}

void RemoveLink(const QString& target, const QString& link)
{
    if (QFileInfo(link).isSymLink() && QFileInfo(link).symLinkTarget() == target)
        QFile::remove(link);
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "q900sim: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("q900sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    std::signal(SIGPIPE, SIG_IGN);

    TSimCommandLine commandLine;
    switch (commandLine.Parse(QCoreApplication::arguments())) {
    case TSimCommandLine::Help:
        std::printf("%s", qPrintable(commandLine.HelpText()));
        return 0;
    case TSimCommandLine::Version:
        std::printf("q900sim %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    case TSimCommandLine::Failed:
        return Fail(commandLine.Error() + QStringLiteral(" (see --help)"));
    case TSimCommandLine::Run:
        break;
    }

    TSimPty simulator(commandLine.Options());
    QString path;
    QString error;
    if (!simulator.Open(&path, &error))
        return Fail(error);
    const QString link = commandLine.LinkPath();
    if (!link.isEmpty() && !MakeLink(path, link, &error))
        return Fail(error);
    // Whoever started the program reads this line to find the device.
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    simulator.Line().Log().Add(
        TTrafficLog::Note,
        QStringLiteral("serving on %1, seed %2").arg(path).arg(commandLine.Options().line.seed));

    TSignalExit signalExit;
    QObject::connect(&signalExit, &TSignalExit::Received, &app, &QCoreApplication::quit);
    if (commandLine.Duration() > 0) {
        QTimer::singleShot(static_cast<int>(commandLine.Duration() * 1000), &app,
                           &QCoreApplication::quit);
    }
    TConsoleCommands console(simulator);
    const int result = QCoreApplication::exec();
    RemoveLink(path, link);
    return result;
}
