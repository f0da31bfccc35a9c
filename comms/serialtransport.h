#pragma once

#include "transport.h"

#include <QSerialPort>

// Line settings of one serial connection, as the port dialog hands them over.
struct TLineSettings
{
    QString portName;
    int baud = 9600;
    int dataBits = 8;
    int stopBits = 1;
    int parity = 0; // 0 none, 1 odd, 2 even
};

// A serial port as the engine's transport: opened with the line settings, its modem lines
// set where the port has them, and its loss (an adapter pulled, a pseudo-terminal's other
// side gone) told with the system's reason.
class TSerialTransport : public TTransport
{
    Q_OBJECT
public:
    explicit TSerialTransport(TLineSettings settings = {}, QObject* parent = nullptr);
    ~TSerialTransport() override;

    // Opens the port; an error text naming what failed, or empty.
    [[nodiscard]] QString Open(const TLineSettings& settings);
    void BeginOpen() override { emit Opened(Open(m_settings)); }

    QIODevice& Device() override { return m_port; }
    QString Name() const override { return m_path; }
    void Close() override;

private:
    void OnError(QSerialPort::SerialPortError error);

    TLineSettings m_settings;
    QSerialPort m_port;
    QString m_path; // as the user named it; the port keeps only the last part
};
