#pragma once

#include "eventwait.h"

#include <QSerialPort>

// The viewer's side of the cable: a QSerialPort as the program opens it (8 data bits, no
// parity, 9600 baud), with a request-and-wait helper for tests.
class SerialClient
{
public:
    bool Open(const QString& path)
    {
        port.setPortName(path);
        port.setBaudRate(QSerialPort::Baud9600);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        return port.open(QIODevice::ReadWrite);
    }
    // Writes the bytes and returns what came back once `end` arrived (or the time ran out).
    QByteArray Exchange(const QByteArray& request, const QByteArray& end = "\n",
                        int timeoutMs = 2000)
    {
        QByteArray received;
        port.write(request);
        RunUntil(
            [&] {
                received += port.readAll();
                return received.endsWith(end);
            },
            timeoutMs);
        return received;
    }

    QSerialPort port;
};
