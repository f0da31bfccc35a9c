// The bare cost of polling an instrument's display ten times a second: a QSerialPort, a
// 100 ms timer and the replies read as they arrive, with nothing decoded or drawn. The
// baseline for the viewer's CPU share while its Display tab is in front
// (bench/idle_cpu.sh measures both). Usage: bench_idlepoll DEVICE [seconds]
#include <QCoreApplication>
#include <QSerialPort>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_idlepoll DEVICE [seconds]\n");
        return 2;
    }
    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    port.setBaudRate(QSerialPort::Baud9600);
    QByteArray reply;
    bool waiting = false;
    long replies = 0;
    QObject::connect(&port, &QSerialPort::readyRead, &port, [&] {
        reply += port.readAll();
        if (const qsizetype end = reply.indexOf('\n'); end >= 0) {
            reply.remove(0, end + 1);
            waiting = false;
            ++replies;
        }
    });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &port, [&] {
        if (!waiting)
            port.write("20110009:\r\n");
        waiting = true;
    });
    tick.start(100);
    if (argc > 2)
        QTimer::singleShot(std::atoi(argv[2]) * 1000, &app, &QCoreApplication::quit);
    const int result = app.exec();
    std::printf("%ld replies\n", replies);
    return result;
}
