#pragma once

#include <QString>

// A pseudo-terminal pair: the master side this program reads and writes, the slave side a
// client opens by its path as it would a serial port. A raw one keeps its slave open in raw
// mode, so that a client may close the port and open it again (a cable unplugged and plugged
// in) without the line losing its settings; a plain one is a terminal a program can be
// started on.
class TPseudoTerminal
{
public:
    TPseudoTerminal() = default;
    ~TPseudoTerminal();
    TPseudoTerminal(const TPseudoTerminal&) = delete;
    TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

    // Opens a new pair; the reason, or empty.
    [[nodiscard]] QString Open(bool raw);
    // Ends both sides: a client's port sees the line go away.
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_master >= 0; }
    // The master side, non-blocking.
    [[nodiscard]] int Master() const { return m_master; }
    [[nodiscard]] QString SlavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
