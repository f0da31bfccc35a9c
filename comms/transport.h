#pragma once

#include <QIODevice>
#include <QObject>
#include <QString>

// Where the engine's characters go and come from: an open byte stream to the instruments (a
// serial port here; the engine reads and writes it as a plain QIODevice). Says when the
// stream went away under the program.
class TTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual QIODevice& Device() = 0;
    // The stream as the user named it ("/dev/ttyUSB0").
    [[nodiscard]] virtual QString Name() const = 0;
    [[nodiscard]] bool IsOpen() { return Device().isOpen(); }
    virtual void Close() = 0;

signals:
    // The stream went away by itself; the message names it and the system's reason. It is
    // closed by the time this is said.
    void Lost(const QString& message);
};
