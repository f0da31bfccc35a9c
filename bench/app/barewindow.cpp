// The start-up benchmark's yardstick: a bare Qt main window (menu bar, tool bar, tab widget
// and status bar, no data of its own) of the viewer's size. Prints when it is fully drawn
// and its resident memory then. Usage: bench_barewindow WIDTHxHEIGHT [--stay]
// With --stay it reports nothing and stays open, to be watched from outside.
#include "startupprobe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList size = QString::fromLocal8Bit(argc > 1 ? argv[1] : "800x600").split(u'x');
    QMainWindow window;
    for (const char* menu : {"&File", "&Edit", "&Instrument", "&Help"})
        window.menuBar()->addMenu(QString::fromLatin1(menu))->addAction(QStringLiteral("Item"));
    window.addToolBar(QStringLiteral("Tools"))->addAction(QStringLiteral("Connect"));
    auto* tabs = new QTabWidget;
    auto* page = new QWidget;
    tabs->addTab(page, QStringLiteral("Display"));
    window.setCentralWidget(tabs);
    window.statusBar()->addWidget(new QLabel(QStringLiteral("Ready")));
    window.resize(size.value(0).toInt(), size.value(1).toInt());
    const bool stay = argc > 2 && qstrcmp(argv[2], "--stay") == 0;
    startupprobe::TPaintWatch watch(*page, 1000, [&](startupprobe::TPainted painted) {
        if (stay)
            return;
        startupprobe::Report(painted, window.size());
        std::_Exit(0);
    });
    window.show();
    return app.exec();
}
