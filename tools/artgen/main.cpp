#include "artgen.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: q900artgen RESOURCES_DIR\n");
        return 2;
    }
    QString error;
    if (!artgen::WriteAll(QString::fromLocal8Bit(argv[1]), &error)) {
        std::fprintf(stderr, "q900artgen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
