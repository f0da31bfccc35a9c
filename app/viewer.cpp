// Program entry: configuration first, then the main window, which checks it.
#include "dmviewer.h"
#include "main.h"
#include "version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("q900viewer"));
    QApplication::setApplicationDisplayName(QStringLiteral("Viewer"));
    QApplication::setApplicationVersion(QStringLiteral(VIEWER_VERSION_TEXT));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Setup and viewing tool for Q900 indicators"));
    options.addHelpOption();
    options.addVersionOption();
    options.addOption({QStringLiteral("simulator"),
                       QStringLiteral("Connect to the built-in simulated instrument.")});
    options.process(app);

    TdatViewer config(QCoreApplication::applicationDirPath());
    TFrmMain window(config);
    const QString failure = window.FormCreate();
    if (!failure.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Viewer"),
                              TFrmMain::StartupFailureText(failure).replace(u'\r', QString()));
        return 1;
    }
    window.show();
    return app.exec();
}
