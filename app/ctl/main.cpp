// q900ctl: the viewer's engine, instrument model and file units on the command line, for
// scripts and for technicians who look after many instruments.
#include "ctlapp.h"
#include "version.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The viewer's name, so that an installed copy finds the user's own [Comms] settings.
    QCoreApplication::setApplicationName(QStringLiteral("q900viewer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VIEWER_VERSION_TEXT));
    TCtlApp tool(QCoreApplication::applicationDirPath());
    return tool.Run(QCoreApplication::arguments());
}
