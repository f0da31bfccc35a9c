#pragma once

// The simulated instrument on a pseudo-terminal, for the q900sim program and for tests that
// want the real serial path in-process.
//
//     TSimOptions options;                 // one instrument at address 1, plain cable
//     options.addresses = {1, 5, 7};       // or a ring of three
//     options.line.ring = true;
//     TSimPty sim(options);
//     QString path, error;
//     if (!sim.Open(&path, &error)) ...    // path: the slave device, e.g. /dev/pts/7
//     QSerialPort port(path);              // 8 data bits, no parity: ptys refuse the rest
//     sim.Instrument(5).PlaceLoad(120.0);  // the model behind address 5
//     sim.Line().RequestCount(0x0009);     // requests seen per register
//     sim.Line().Log().Entries();          // every request and reply with its time
//
// Everything runs from the Qt event loop of the thread that owns the object: received bytes
// arrive through a socket notifier, replies leave paced by timers, and nothing blocks. The
// simulator keeps the slave side open itself, so a client may close the port and open it
// again (a technician unplugging and plugging in) without the line going dead.
#include "pseudoterminal.h"
#include "simline.h"
#include "simoptions.h"
#include "statefile.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <memory>

class TSimPty : public QObject
{
    Q_OBJECT

public:
    explicit TSimPty(const TSimOptions& options, QObject* parent = nullptr);
    ~TSimPty() override;

    // Reads the state file, opens the traffic log and the pseudo-terminal in raw mode.
    bool Open(QString* slavePath, QString* error);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_master >= 0; }
    [[nodiscard]] QString SlavePath() const { return m_slavePath; }

    TSimLine& Line() { return m_line; }
    // The instrument at an address; 0 gives the first one on the line.
    TSimInstrument& Instrument(int address = 0);

private:
    bool OpenTerminal(QString* error);
    void StartInstruments();
    void ReadMaster();
    void Send(const QByteArray& bytes);
    void WritePending();
    void CheckForClient();
    void Stored(int address, const QJsonObject& state);

    TSimOptions m_options;
    TSimLine m_line;
    TStateFile m_state;
    TPseudoTerminal m_terminal;
    int m_master = -1; // the terminal's master side while open
    QString m_slavePath;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QByteArray m_pending;
    QTimer m_clientTimer;
};
