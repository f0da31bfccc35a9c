#pragma once

#include <QIODevice>
#include <QObject>
#include <QString>

// Where the engine's characters go and come from: an open byte stream to the instruments (a
// serial port, or a serial device server's port over the network; the engine reads and
// writes it as a plain QIODevice). Says when the stream went away under the program.
class TTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual QIODevice& Device() = 0;
    // The stream as the user named it ("/dev/ttyUSB0", "tcp://server:4001").
    [[nodiscard]] virtual QString Name() const = 0;
    [[nodiscard]] bool IsOpen() { return Device().isOpen(); }
    // Starts opening with the settings it was made with; Opened tells how it went, at once
    // for a serial port, once connected (or refused, or timed out) for a network one.
    virtual void BeginOpen() = 0;
    virtual void Close() = 0;

signals:
    // The outcome of BeginOpen: empty once open, else what failed and the system's reason.
    void Opened(const QString& error);
    // The stream went away by itself; the message names it and the system's reason. It is
    // closed by the time this is said.
    void Lost(const QString& message);
};
