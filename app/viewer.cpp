// Program entry: configuration first, then the main window, which checks it; then the
// connection the command line asks for.
#include "dialogfit.h"
#include "dmviewer.h"
#include "main.h"
#include "portconfig.h"
#include "signalexit.h"
#include "simulatorprocess.h"
#include "startoptions.h"
#include "userprompts.h"
#include "version.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kCloseEveryMs = 20;

QString SimulatorProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("q900sim"));
}

// Connects as the options say; the simulator is started first when asked for.
void ConnectAtStart(TFrmMain& window, TdatViewer& config, const TStartOptions& options,
                    TSimulatorProcess& simulator)
{
    TPortChoice choice = portconfig::LoadPortDialog(config);
    if (options.simulator) {
        QStringList args{QStringLiteral("--addresses"), QStringLiteral("1")};
        if (options.baud)
            args << QStringLiteral("--baud") << QString::number(*options.baud);
        const QString error = simulator.Start(SimulatorProgram(), args);
        if (!error.isEmpty()) {
            window.Prompts().ShowError(error);
            return;
        }
        choice.portName = simulator.DevicePath();
        choice.cable = TPortChoice::RS232;
        choice.address = 1;
    }
    // The simulator's pseudo-terminal is gone after this run: not worth remembering.
    window.ConnectWith(options.ApplyTo(choice), !options.simulator);
}

} // namespace

int main(int argc, char** argv)
{
    // Options first, so that --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString help;
    const TStartOptions options = startoptions::Parse(arguments, &help);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(qPrintable(help), stdout);
        return 0;
    }
    if (arguments.contains(QStringLiteral("--version")) ||
        arguments.contains(QStringLiteral("-v"))) {
        std::printf("viewer %s\n", VIEWER_VERSION_TEXT);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "viewer: %s\n", qPrintable(options.error));
        return 2;
    }

    // The instrument link leaves the user's input for later while a request waits. With the
    // GLib event dispatcher, input left so on X11 is handed out only when the next event of
    // the window system arrives, and a job's back-to-back requests starve it: a log run could
    // not be stopped with the mouse. Qt's own dispatcher hands it out at the next turn of the
    // main loop. A choice made in the environment is kept.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("q900viewer"));
    // The application title "Viewer" captions the start-up error box; it is not set as
    // Qt's display name, which would be appended to every window caption.
    QApplication::setApplicationVersion(QStringLiteral(VIEWER_VERSION_TEXT));
    const TDialogFit dialogsFitTheirTitles;

    TdatViewer config(QCoreApplication::applicationDirPath());
    TFrmMain window(config);
    const QString failure = window.FormCreate();
    if (!failure.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Viewer"),
                              TFrmMain::StartupFailureText(failure).replace(u'\r', QString()));
        return 1;
    }
    window.show();
    // SIGTERM or SIGINT ends the program through its event loop, so the settings are saved
    // and the simulated instrument is stopped as at File > Exit. One that arrives while the
    // start-up connection waits (no main loop runs yet) closes the port, which ends the wait,
    // and the main loop is then never entered. A window in front (a message box, a dialog,
    // one opened meanwhile too) is closed until the program has ended: quitting alone would
    // leave a box that is up before the main loop runs.
    TSignalExit exitOnSignal;
    bool ending = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &app, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        QCoreApplication::quit();
    });
    QObject::connect(&exitOnSignal, &TSignalExit::Received, &app, [&] {
        ending = true;
        window.Shutdown();
        closer.start(kCloseEveryMs);
        QCoreApplication::quit();
    });
    TSimulatorProcess simulator;
    if (options.WantsConnection())
        ConnectAtStart(window, config, options, simulator);
    const int result = ending ? 0 : app.exec();
    window.Shutdown();
    return result;
}
